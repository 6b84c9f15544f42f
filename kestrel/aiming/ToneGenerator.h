#pragma once

#include "kestrel/aiming/ToneSynth.h"

#include <QAudioFormat>
#include <QIODevice>
#include <mutex>

// The aiming tone as a stream of raw samples for an audio output to pull: mono, 16 bit,
// 48 kHz, never ending. The pitch and loudness may be set from the window's thread while the
// output reads on its own.
class ToneGenerator : public QIODevice
{
public:
    static QAudioFormat format();

    explicit ToneGenerator(QObject* parent = nullptr);

    void setTarget(double pitchHz, double gain);
    // The pitch the stream is heading for, and how loud.
    double targetPitchHz() const;
    double targetGain() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    mutable std::mutex mutex_;
    ToneSynth synth_;
    double targetPitch_ = 0;
    double targetGain_ = 0;
};
