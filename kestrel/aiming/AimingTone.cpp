#include "kestrel/aiming/AimingTone.h"

#include "platform/sound/PcmOutput.h"

AimingTone::AimingTone(PcmOutput* output, QObject* parent) : QObject(parent), output_(output)
{
    duckEnd_.setSingleShot(true);
    duckEnd_.setInterval(kDuckMs);
    connect(&duckEnd_, &QTimer::timeout, this, [this] { update(); });
    stopAfterFade_.setSingleShot(true);
    stopAfterFade_.setInterval(static_cast<int>(3 * ToneSynth::kGlideMs));
    connect(&stopAfterFade_, &QTimer::timeout, this, [this] {
        if (output_ && playing_) {
            output_->stop();
            playing_ = false;
        }
    });
}

AimingTone::~AimingTone()
{
    if (output_ && playing_) {
        output_->stop();
    }
}

bool AimingTone::setOn(bool on)
{
    if (on == on_) {
        return true;
    }
    if (!on) {
        on_ = false;
        update();
        stopAfterFade_.start();
        return true;
    }
    stopAfterFade_.stop();
    if (output_ && !playing_) {
        playing_ = output_->start(&generator_, ToneGenerator::format());
    }
    on_ = playing_;
    update();
    return on_;
}

void AimingTone::showPitch(std::optional<double> pitchHz)
{
    pitch_ = pitchHz;
    update();
}

void AimingTone::duck()
{
    duckEnd_.start();
    update();
}

void AimingTone::update()
{
    // Without a value the pitch stays where it was while the tone fades out.
    const double pitch = pitch_.value_or(generator_.targetPitchHz());
    const double gain = !on_ || !pitch_ ? 0 : duckEnd_.isActive() ? kDuckedGain : kGain;
    generator_.setTarget(pitch, gain);
}
