#pragma once

#include "kestrel/aiming/ToneGenerator.h"

#include <QObject>
#include <QTimer>
#include <optional>

class PcmOutput;

// The aiming tone: while on, a continuous tone whose pitch follows the measure aimed by, silent
// while it is cleared, stale or unknown, and quieter for a while when a spoken level plays over
// it.
class AimingTone : public QObject
{
public:
    static constexpr double kGain = 0.3;
    static constexpr double kDuckedGain = 0.08;
    // A spoken number lasts about a second.
    static constexpr int kDuckMs = 1200;

    // `output` may be null: the tone can be switched on but is never heard.
    explicit AimingTone(PcmOutput* output, QObject* parent = nullptr);
    ~AimingTone() override;

    // False when switched on without an output to play it: the tone stays off.
    bool setOn(bool on);
    bool isOn() const { return on_; }
    // The pitch of the current value (tonePitchHz), or none (no value, or no longer current).
    void showPitch(std::optional<double> pitchHz);
    // A recording plays now: quieter for kDuckMs.
    void duck();

    const ToneGenerator& generator() const { return generator_; }

private:
    void update();

    PcmOutput* output_;
    ToneGenerator generator_;
    QTimer duckEnd_;
    // Switched off, the tone fades out before the output stops: a cut would click.
    QTimer stopAfterFade_;
    bool playing_ = false;
    bool on_ = false;
    std::optional<double> pitch_;
};
