#include "geodesy/Geodesy.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace geodesy;

namespace
{

constexpr double kQuarterMeridianKm = std::numbers::pi * kEarthRadiusKm / 2;
constexpr double dms(double d, double m, double s)
{
    return d + m / 60 + s / 3600;
}

TEST(Geodesy, DistancesAndBearingsAgreeWithPublishedFiguresAndEdgeCases)
{
    const struct {
        const char* name;
        Position from, to;
        double km;
        double tolerance; // share of km, or km when km is 0
        double bearing;   // < 0: not checked
    } rows[] = {
        // airmilescalculator.com/distance/lhr-to-cdg: 347.653 km (Vincenty, WGS-84).
        {"Heathrow-Charles de Gaulle",
         {dms(51, 28, 14), -dms(0, 27, 42)},
         {dms(49, 0, 46), dms(2, 32, 59)},
         347.653,
         0.005,
         -1},
        // Great Circle Mapper (gcmap.com), JFK-LAX: 2,475 mi = 3,983 km.
        {"New York JFK-Los Angeles LAX",
         {dms(40, 38, 23), -dms(73, 46, 44)},
         {dms(33, 56, 33), -dms(118, 24, 29)},
         3983,
         0.005,
         -1},
        // Geoscience Australia, quoted by distancefyi.com/flight-time/melbourne-to-sydney: 713 km.
        {"Sydney-Melbourne", {-33.8688, 151.2093}, {-37.8136, 144.9631}, 713, 0.005, -1},
        // One degree of the equator, 2 pi R / 360, the short way across the date line.
        {"date line eastwards", {0, 179.5}, {0, -179.5}, 111.195, 0.0001, 90},
        {"date line westwards", {0, -179.5}, {0, 179.5}, 111.195, 0.0001, 270},
        {"due north", {-10, 30}, {10, 30}, 20 * 111.195, 0.0001, 0},
        {"from the north pole", {90, 0}, {0, 100}, kQuarterMeridianKm, 1e-9, 180},
        {"from the south pole", {-90, 45}, {0, -100}, kQuarterMeridianKm, 1e-9, 0},
        {"to the south pole", {0, 100}, {-90, 0}, kQuarterMeridianKm, 1e-9, 180},
        {"same point", {55.7558, 37.6173}, {55.7558, 37.6173}, 0, 1e-9, 0},
        // The haversine loses half its digits next to the antipode: a metre in 20,000 km.
        {"antipodes", {10, 20}, {-10, -160}, 2 * kQuarterMeridianKm, 1e-7, -1},
        {"antipodes on the equator", {0, 0}, {0, 180}, 2 * kQuarterMeridianKm, 1e-7, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const double km = distanceKm(row.from, row.to);
        EXPECT_NEAR(km, row.km, row.km > 0 ? row.km * row.tolerance : row.tolerance);
        EXPECT_NEAR(distanceKm(row.to, row.from), km, 1e-9) << "symmetric";
        const double bearing = initialBearingDeg(row.from, row.to);
        EXPECT_GE(bearing, 0.0);
        EXPECT_LT(bearing, 360.0);
        if (row.bearing >= 0) {
            EXPECT_NEAR(bearing, row.bearing, 1e-6);
        }
    }
}

TEST(Geodesy, NamesSixteenCompassPointsCentredOnTheirDirection)
{
    const struct {
        double bearing;
        const char* name;
    } rows[] = {
        {0, "N"},       {11.24, "N"},   {11.25, "NNE"}, {45, "NE"},         {90, "E"},
        {157.5, "SSE"}, {202.5, "SSW"}, {247.5, "WSW"}, {348.74, "NNW"},    {348.75, "N"},
        {359.99, "N"},  {-22.5, "NNW"}, {720, "N"},     {std::nan(""), ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(compassPoint(row.bearing), row.name) << row.bearing;
    }
}

} // namespace
