#include "plover/place/NearbyCells.h"
#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using place::Place;

TEST(Place, ReadsTypedPairsAndMapAddresses)
{
    const struct {
        const char* text;
        std::optional<Place> place;
    } rows[] = {
        {"55.7558, 37.6173", Place{55.7558, 37.6173}},
        {" -33.8688 151.2093 ", Place{-33.8688, 151.2093}},
        {"48.0;7.85", Place{48.0, 7.85}},
        // A map address names longitude first.
        {"https://yandex.com/maps/?l=map/&pt=37.6173,55.7558&ll=37.6173,55.7558&z=10",
         Place{55.7558, 37.6173}},
        {"https://yandex.com/maps/?z=10", std::nullopt},
        {"91, 10", std::nullopt},
        {"10, 180.5", std::nullopt},
        {"55.7558", std::nullopt},
        {"55,7558, 37,6173", std::nullopt}, // decimal commas: four numbers
        {"1e3, 5", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(place::readPlace(QString::fromUtf8(row.text)), row.place);
    }
    EXPECT_EQ(place::readPlace(place::placeText({-0.000004, 179.999996})), (Place{-0.0, 180.0}))
        << "what the window shows reads back";
}

TEST(NearbyCells, AsksForTheOperatorsCellsAndReadsTheAnswer)
{
    EXPECT_EQ(
        place::nearbyCellsAddress("http://127.0.0.1:8642", {55.7558, 37.6173}, "250", "1&x=2"),
        "http://127.0.0.1:8642/cells_near/?lat=55.75580&lon=37.61730&countrycode=250"
        "&operatorid=1%26x%3D2&radius_km=15");

    const auto cells = place::readNearbyCells(
        R"(<?xml version="1.0" encoding="UTF-8"?><cells>)"
        R"(<cell radio="LTE" lac="78" cellid="314" latitude="55.75580" longitude="37.61730")"
        R"( range="1200" samples="14" distance_km="0.000" bearing_deg="0.0"/>)"
        R"(<cell radio="GSM" lac="78" cellid="x" latitude="1" longitude="1" range="1")"
        R"( samples="1" distance_km="1" bearing_deg="1"/>)"
        R"(<cell radio="GSM" lac="79" cellid="315" latitude="55.7" longitude="37.5")"
        R"( range="900" samples="3" distance_km="9.150" bearing_deg="247.4"/></cells>)");
    ASSERT_TRUE(cells);
    ASSERT_EQ(cells->size(), 2) << "a cell without its numbers is left out";
    EXPECT_EQ((*cells)[1],
              (place::NearbyCell{"GSM", "79", "315", 55.7, 37.5, 900, 3, 9.15, 247.4}));

    for (const char* notAnAnswer : {"<location><error>no cell</error></location>", "not xml <",
                                    "<!DOCTYPE cells [<!ENTITY a \"a\">]><cells/>"}) {
        EXPECT_FALSE(place::readNearbyCells(notAnAnswer)) << notAnAnswer;
    }
}

TEST(NearbyCells, TellsTheWayInWords)
{
    EXPECT_EQ(place::wayText(3.24, 247.4), "3.2 km at 247° (WSW)");
    EXPECT_EQ(place::wayText(12.6, 359.7, 1200), "13 km ± 1.2 km at 0° (N)");
    EXPECT_EQ(place::wayText(0.0, 0.0, 0), "0.0 km at 0° (N)");
}

} // namespace
