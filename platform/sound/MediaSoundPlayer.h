#pragma once

#include "platform/sound/SoundPlayer.h"

#include <QMediaPlayer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QAudioOutput;

// SoundPlayer over Qt Multimedia. Loading and playback run inside the media backend, so no
// command waits for the sound: "Play" returns at once.
//
// Every failure stays here and is silent: a file that is missing or unreadable leaves the
// player closed, an undecodable one ends in QMediaPlayer::InvalidMedia, and without an audio
// output "Play" does nothing. The next "Close", "Open", "Play" simply tries again.
//
// The QMediaPlayer is made on the first "Open", not before: a program that never speaks never
// starts the media backend.
class MediaSoundPlayer : public QObject, public SoundPlayer
{
    Q_OBJECT
public:
    // Tells whether an audio output exists now. Asked before every "Play", because Qt 6.4's
    // backends must not be started playing without one (the FFmpeg one crashes).
    using OutputCheck = std::function<bool()>;

    explicit MediaSoundPlayer(QObject* parent = nullptr);
    explicit MediaSoundPlayer(OutputCheck hasAudioOutput, QObject* parent = nullptr);
    ~MediaSoundPlayer() override;

    void setFileName(const QString& fileName) override;
    QString FileName() const override;
    // "Close", "Open" or "Play", in any letter case; other commands are ignored.
    void setCommand(const QString& command) override;
    bool canBeHeard() const override { return hasAudioOutput_(); }

    // What the backend is doing, for callers that want to watch it (the program does not).
    QMediaPlayer::PlaybackState playbackState() const;
    QMediaPlayer::MediaStatus mediaStatus() const;
    QUrl source() const;

    static bool systemHasAudioOutput();

signals:
    void playbackStateChanged(QMediaPlayer::PlaybackState state);
    void mediaStatusChanged(QMediaPlayer::MediaStatus status);

private:
    void close();
    void open();
    void play();
    void startPlayback();
    void onMediaStatusChanged(QMediaPlayer::MediaStatus status);
    void ensureBackend();

    OutputCheck hasAudioOutput_;
    QString fileName_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    bool playWhenLoaded_ = false;
};
