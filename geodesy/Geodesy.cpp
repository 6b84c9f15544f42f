#include "geodesy/Geodesy.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace geodesy
{
namespace
{

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// Into [0, 360); also folds the 360 that rounding can make of a tiny negative angle.
double normalizedDegrees(double degrees)
{
    double folded = std::fmod(degrees, 360.0);
    if (folded < 0) {
        folded += 360.0;
    }
    return folded >= 360.0 ? 0.0 : folded;
}

} // namespace

double distanceKm(Position from, Position to)
{
    const double phi1 = from.latitude * kRadiansPerDegree;
    const double phi2 = to.latitude * kRadiansPerDegree;
    const double sinHalfDeltaPhi = std::sin((phi2 - phi1) / 2);
    const double sinHalfDeltaLambda =
        std::sin((to.longitude - from.longitude) * kRadiansPerDegree / 2);
    // Rounding can push the haversine of antipodes a hair above 1, where asin has no value.
    const double h =
        std::clamp(sinHalfDeltaPhi * sinHalfDeltaPhi +
                       std::cos(phi1) * std::cos(phi2) * sinHalfDeltaLambda * sinHalfDeltaLambda,
                   0.0, 1.0);
    return 2 * kEarthRadiusKm * std::asin(std::sqrt(h));
}

double initialBearingDeg(Position from, Position to)
{
    // At a pole the formula's answer depends on the longitude given for the pole, which is
    // arbitrary; every great circle from there runs along a meridian.
    if (from.latitude >= 90.0) {
        return 180.0;
    }
    if (from.latitude <= -90.0) {
        return 0.0;
    }
    const double phi1 = from.latitude * kRadiansPerDegree;
    const double phi2 = to.latitude * kRadiansPerDegree;
    const double deltaLambda = (to.longitude - from.longitude) * kRadiansPerDegree;
    const double y = std::sin(deltaLambda) * std::cos(phi2);
    const double x =
        std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(deltaLambda);
    return normalizedDegrees(std::atan2(y, x) / kRadiansPerDegree);
}

std::string_view compassPoint(double bearingDeg)
{
    static constexpr std::array<std::string_view, 16> kNames{
        "N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
        "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW",
    };
    if (!std::isfinite(bearingDeg)) {
        return {}; // NaN has no sector, and converting it to an index is undefined
    }
    const double sector = std::floor(normalizedDegrees(bearingDeg + 11.25) / 22.5);
    return kNames[static_cast<std::size_t>(sector) % kNames.size()];
}

} // namespace geodesy
