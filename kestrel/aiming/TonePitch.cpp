#include "kestrel/aiming/TonePitch.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kWeakestDbm = -113;
constexpr int kStrongestDbm = -51;

} // namespace

double tonePitchHz(int levelDbm)
{
    const double position =
        std::clamp(double(levelDbm - kWeakestDbm) / double(kStrongestDbm - kWeakestDbm), 0.0, 1.0);
    return kLowestPitchHz * std::pow(kHighestPitchHz / kLowestPitchHz, position);
}
