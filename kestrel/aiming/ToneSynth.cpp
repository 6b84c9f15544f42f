#include "kestrel/aiming/ToneSynth.h"

#include <cmath>
#include <limits>
#include <numbers>

void ToneSynth::setTarget(double pitchHz, double gain)
{
    targetPitch_ = pitchHz;
    targetGain_ = gain;
    // A tone that starts from silence starts at its pitch, not gliding up from nothing.
    if (gain_ == 0) {
        pitch_ = pitchHz;
    }
}

void ToneSynth::render(qint16* out, int frames)
{
    // One-pole smoothing: after kGlideMs the distance to the target is down to 1%.
    const double step = 1 - std::exp(std::log(0.01) / (kGlideMs / 1000 * sampleRate_));
    constexpr double fullScale = std::numeric_limits<qint16>::max();
    for (int i = 0; i < frames; ++i) {
        pitch_ += (targetPitch_ - pitch_) * step;
        gain_ += (targetGain_ - gain_) * step;
        if (targetGain_ == 0 && gain_ < 1e-4) {
            gain_ = 0;
        }
        out[i] = static_cast<qint16>(
            std::lround(fullScale * gain_ * std::sin(2 * std::numbers::pi * phase_)));
        phase_ += pitch_ / sampleRate_;
        phase_ -= std::floor(phase_);
    }
}
