#include "kestrel/aiming/ToneGenerator.h"

namespace
{

constexpr int kSampleRate = 48000;
// What a pull may take at most, so a reader that asks for a lot gets it in good time.
constexpr qint64 kReadableBytes = kSampleRate * 2;

} // namespace

QAudioFormat ToneGenerator::format()
{
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

ToneGenerator::ToneGenerator(QObject* parent) : QIODevice(parent), synth_(kSampleRate)
{
    open(QIODevice::ReadOnly);
}

void ToneGenerator::setTarget(double pitchHz, double gain)
{
    std::lock_guard lock(mutex_);
    targetPitch_ = pitchHz;
    targetGain_ = gain;
    synth_.setTarget(pitchHz, gain);
}

double ToneGenerator::targetPitchHz() const
{
    std::lock_guard lock(mutex_);
    return targetPitch_;
}

double ToneGenerator::targetGain() const
{
    std::lock_guard lock(mutex_);
    return targetGain_;
}

qint64 ToneGenerator::bytesAvailable() const
{
    return kReadableBytes + QIODevice::bytesAvailable();
}

qint64 ToneGenerator::readData(char* data, qint64 maxSize)
{
    const qint64 frames = std::min(maxSize, kReadableBytes) / qint64(sizeof(qint16));
    std::lock_guard lock(mutex_);
    synth_.render(reinterpret_cast<qint16*>(data), static_cast<int>(frames));
    return frames * qint64(sizeof(qint16));
}

qint64 ToneGenerator::writeData(const char*, qint64)
{
    return -1;
}
