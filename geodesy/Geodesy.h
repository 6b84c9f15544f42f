#pragma once

#include <string_view>

// Great-circle geometry on a sphere the size of the Earth. A sphere is off the WGS-84 ellipsoid
// by at most about 0.5 %, which is far below the spread of a cell's observed position; it keeps
// every formula closed and cheap enough to run over hundreds of candidates per request.
namespace geodesy
{

// The mean radius of the WGS-84 ellipsoid, (2a + b) / 3, in kilometres.
constexpr double kEarthRadiusKm = 6371.0088;

// Decimal degrees: latitude -90 (south pole) to 90, longitude -180 to 180, east positive.
struct Position {
    double latitude = 0;
    double longitude = 0;
};

// The great-circle distance in kilometres (haversine, well-conditioned for nearby points and
// for antipodes alike).
double distanceKm(Position from, Position to);

// The initial bearing of the great circle from `from` towards `to`, in degrees clockwise from
// true north, 0 <= bearing < 360. From a pole every direction is along a meridian: 180 from the
// north pole, 0 from the south pole. 0 for the same point.
double initialBearingDeg(Position from, Position to);

// The 16-point compass name of a bearing: "N", "NNE", "NE", ..., "NNW". Each name covers 22.5
// degrees centred on its direction, N from 348.75 up to 11.25; any finite bearing is taken
// modulo 360. Empty for a NaN or infinite bearing.
std::string_view compassPoint(double bearingDeg);

} // namespace geodesy
