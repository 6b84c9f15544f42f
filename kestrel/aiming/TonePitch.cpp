#include "kestrel/aiming/TonePitch.h"

#include <algorithm>
#include <cmath>

double tonePitchHz(AimMeasure measure, double value)
{
    const AimScale scale = aimScale(measure);
    const double position =
        std::clamp((value - scale.weakest) / (scale.strongest - scale.weakest), 0.0, 1.0);
    return kLowestPitchHz * std::pow(kHighestPitchHz / kLowestPitchHz, position);
}
