#include "platform/sound/MediaSoundPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QUrl>

MediaSoundPlayer::MediaSoundPlayer(QObject* parent)
    : MediaSoundPlayer(&MediaSoundPlayer::systemHasAudioOutput, parent)
{
}

MediaSoundPlayer::MediaSoundPlayer(OutputCheck hasAudioOutput, QObject* parent)
    : QObject(parent), hasAudioOutput_(std::move(hasAudioOutput))
{
    if (!hasAudioOutput_)
        hasAudioOutput_ = &MediaSoundPlayer::systemHasAudioOutput;
}

MediaSoundPlayer::~MediaSoundPlayer()
{
    // Stop before the children go, so the backend does not report into a half-destroyed object.
    if (player_ != nullptr) {
        player_->disconnect(this);
        player_->stop();
    }
}

bool MediaSoundPlayer::systemHasAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void MediaSoundPlayer::setFileName(const QString& fileName)
{
    fileName_ = fileName;
}

QString MediaSoundPlayer::FileName() const
{
    return fileName_;
}

void MediaSoundPlayer::setCommand(const QString& command)
{
    if (command.compare(QLatin1String("Close"), Qt::CaseInsensitive) == 0)
        close();
    else if (command.compare(QLatin1String("Open"), Qt::CaseInsensitive) == 0)
        open();
    else if (command.compare(QLatin1String("Play"), Qt::CaseInsensitive) == 0)
        play();
}

QMediaPlayer::PlaybackState MediaSoundPlayer::playbackState() const
{
    return player_ != nullptr ? player_->playbackState() : QMediaPlayer::StoppedState;
}

QMediaPlayer::MediaStatus MediaSoundPlayer::mediaStatus() const
{
    return player_ != nullptr ? player_->mediaStatus() : QMediaPlayer::NoMedia;
}

QUrl MediaSoundPlayer::source() const
{
    return player_ != nullptr ? player_->source() : QUrl();
}

void MediaSoundPlayer::ensureBackend()
{
    if (player_ != nullptr)
        return;
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::playbackStateChanged, this,
            &MediaSoundPlayer::playbackStateChanged);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this,
            &MediaSoundPlayer::onMediaStatusChanged);
}

void MediaSoundPlayer::close()
{
    playWhenLoaded_ = false;
    if (player_ == nullptr)
        return;
    player_->stop();
    player_->setSource(QUrl());
}

void MediaSoundPlayer::open()
{
    // A name that is no readable file (the empty number gives ".../sound/.MP3") is not handed
    // to the backend at all: the player stays closed and "Play" finds nothing to play.
    const QFileInfo file(fileName_);
    if (fileName_.isEmpty() || !file.isFile() || !file.isReadable()) {
        close();
        return;
    }
    ensureBackend();
    playWhenLoaded_ = false;
    player_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
}

void MediaSoundPlayer::play()
{
    if (player_ == nullptr || player_->source().isEmpty())
        return;
    switch (player_->mediaStatus()) {
    case QMediaPlayer::LoadingMedia:
        // Started only once the file proved decodable: a backend told to play a file it then
        // rejects stays "playing", and stopping it later stalls the event loop for a second.
        playWhenLoaded_ = true;
        return;
    case QMediaPlayer::NoMedia:
    case QMediaPlayer::InvalidMedia:
        return;
    default:
        startPlayback();
    }
}

void MediaSoundPlayer::onMediaStatusChanged(QMediaPlayer::MediaStatus status)
{
    emit mediaStatusChanged(status);
    // A rejected file leaves the wish pending but harmless: "Close" and "Open" clear it. It must
    // not be cleared here, since the backend may still report the previous file as invalid
    // after the next one was opened.
    const bool loaded =
        status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia;
    if (loaded && playWhenLoaded_) {
        playWhenLoaded_ = false;
        startPlayback();
    }
}

void MediaSoundPlayer::startPlayback()
{
    if (!hasAudioOutput_())
        return;
    // An output plugged in since the last sound becomes the default; follow it.
    const QAudioDevice current = QMediaDevices::defaultAudioOutput();
    if (output_->device() != current)
        output_->setDevice(current);
    player_->play();
}
