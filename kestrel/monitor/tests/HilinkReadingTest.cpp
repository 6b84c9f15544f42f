#include "kestrel/monitor/HilinkReading.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

HilinkRound round(const hilink::SignalFacts& signal, const char* name = "T-Mobile",
                  const char* numeric = "310260", std::optional<int> rat = 7)
{
    HilinkRound r;
    r.outcome = HilinkRound::Outcome::Read;
    r.signal = signal;
    r.operatorName = QString::fromLatin1(name);
    r.numeric = QString::fromLatin1(numeric);
    r.rat = rat;
    return r;
}

// The E3372h's LTE capture: RSSI -61 dBm is index 26, shown as -61 dBm.
const hilink::SignalFacts kE3372hLte{7,  -61.0,      -86.0,   10.0, -14.0, {},
                                     {}, "44294436", "57332", 7,    3025};

TEST(HilinkReading, TakesARoundAsAnAtStickWouldShowIt)
{
    MonitorReading r;
    const CycleReadings read = takeHilinkRound(round(kE3372hLte), r, false);
    EXPECT_TRUE(read.operatorRead && read.levelRead && read.qualityRead);
    EXPECT_EQ(read.location, CycleReadings::Location::Read);
    EXPECT_EQ(r.operatorName, "T-Mobile");
    EXPECT_EQ(r.generation, at::Generation::G4);
    EXPECT_EQ(r.mcc, "310");
    EXPECT_EQ(r.mnc, "260");
    EXPECT_EQ(r.lac, "57332");
    EXPECT_EQ(r.cellId, "44294436");
    EXPECT_EQ(r.levelDbm, -61);
    EXPECT_EQ(r.barValue, 26);
    EXPECT_EQ(r.quality.rsrpDbm, -86);
    EXPECT_EQ(r.quality.sinrDb, 10.0);
    EXPECT_EQ(r.quality.rsrqDb, -14.0);
    EXPECT_EQ(r.band, 7);
    EXPECT_EQ(r.earfcn, 3025);
    EXPECT_EQ(r.lteCellParts()->eNodeB, 173025u);
}

TEST(HilinkReading, LevelsGenerationsAndALostNetwork)
{
    struct Row {
        const char* name;
        hilink::SignalFacts signal;
        std::optional<int> rat;
        at::DbmLevel level;
        int bar;
        at::Generation generation;
    };
    const Row rows[] = {
        // "<=-113dBm" at the floor, and an RSSI above the top of the scale.
        {"floor", {2, -113.0}, 2, -113, 0, at::Generation::G3},
        {"above the scale", {0, -40.0}, 0, -51, 31, at::Generation::G2},
        // Rounded to the nearest index: -86 dBm lies halfway between -87 and -85.
        {"half step", {7, -86.0}, 7, -85, 14, at::Generation::G4},
        {"no mode: the network's technology", {{}, -71.0}, 12, -71, 21, at::Generation::G5},
        {"empty RSSI", {7}, 7, std::nullopt, 0, at::Generation::G4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MonitorReading r;
        takeHilinkRound(round(row.signal, "Op", "00101", row.rat), r, true);
        EXPECT_EQ(r.levelDbm, row.level);
        EXPECT_EQ(r.barValue, row.bar);
        EXPECT_EQ(r.generation, row.generation);
        EXPECT_TRUE(r.levelInPercent);
    }

    MonitorReading r;
    takeHilinkRound(round(kE3372hLte), r, false);
    const CycleReadings lost = takeHilinkRound(round({}, "", "", std::nullopt), r, false);
    EXPECT_TRUE(lost.noOperator);
    EXPECT_FALSE(r.operatorKnown);
    EXPECT_TRUE(r.mcc.isEmpty() && r.cellId.isEmpty() && !r.levelDbm && !r.band);
    EXPECT_EQ(r.quality, at::RadioQuality{});

    HilinkRound silent;
    EXPECT_FALSE(takeHilinkRound(silent, r, false).operatorRead);
}

// A 2G or 3G cell has a LAC, not a TAC: it comes from signal-para, and so does the cell ID where
// the signal page gives none.
TEST(HilinkReading, A3gCellsAreaComesFromSignalPara)
{
    HilinkRound three = round({.mode = 2, .cellId = "12"}, "MTS", "25001", 2);
    three.area = {"6699", "28069381"};
    MonitorReading r;
    takeHilinkRound(three, r, false);
    EXPECT_EQ(r.lac, "6699");
    EXPECT_EQ(r.cellId, "12") << "the signal page's comes first";
    three.signal.cellId.clear();
    EXPECT_EQ(takeHilinkRound(three, r, false).location, CycleReadings::Location::Read);
    EXPECT_EQ(r.cellId, "28069381");
}

} // namespace
