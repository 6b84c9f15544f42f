#pragma once

#include <QtGlobal>

// A sine tone, sample by sample, whose pitch and loudness may change at any time without a
// click: the phase runs on continuously, the pitch glides to a new value and the loudness
// ramps, each within a few milliseconds.
class ToneSynth
{
public:
    explicit ToneSynth(int sampleRate) : sampleRate_(sampleRate) {}

    // 0 .. 1; 0 fades the tone out.
    void setTarget(double pitchHz, double gain);

    // Writes `frames` mono 16-bit samples.
    void render(qint16* out, int frames);

    double pitchHz() const { return pitch_; }
    double gain() const { return gain_; }
    int sampleRate() const { return sampleRate_; }

    // How long a glide or a fade takes to come close to its target (about 99%).
    static constexpr double kGlideMs = 20;

private:
    int sampleRate_;
    double phase_ = 0; // 0 .. 1
    double pitch_ = 0;
    double gain_ = 0;
    double targetPitch_ = 0;
    double targetGain_ = 0;
};
