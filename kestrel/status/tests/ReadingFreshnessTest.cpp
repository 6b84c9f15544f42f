#include "kestrel/status/ReadingFreshness.h"

#include <gtest/gtest.h>
#include <string>

namespace
{

using Location = CycleReadings::Location;

const CycleReadings kFull{true, false, true, Location::Read};
const CycleReadings kNothing{};
const CycleReadings kNoOperator{true, true, false, Location::NotRead};
const CycleReadings kUnregistered{true, false, true, Location::Missing};
const CycleReadings kOperatorOnly{true, false, false, Location::NotRead};

// "olLn": operator, level, location stale, no reply; '-' where the flag is off.
std::string flags(const ReadingFreshness& f)
{
    return {f.operatorStale() ? 'o' : '-', f.levelStale() ? 'l' : '-',
            f.locationStale() ? 'L' : '-', f.noReply() ? 'n' : '-'};
}

// Cycles as letters: F a full reading, N nothing read, O the operator only, U a report
// without location, X "no operator", and L the device lost (then a port opened again).
ReadingFreshness play(const std::string& events)
{
    ReadingFreshness freshness;
    for (const char event : events) {
        switch (event) {
        case 'F':
            freshness.cycleEnded(kFull);
            break;
        case 'N':
            freshness.cycleEnded(kNothing);
            break;
        case 'O':
            freshness.cycleEnded(kOperatorOnly);
            break;
        case 'U':
            freshness.cycleEnded(kUnregistered);
            break;
        case 'X':
            freshness.cycleEnded(kNoOperator);
            break;
        case 'L':
            freshness.deviceLost();
            freshness.portOpened();
            break;
        default:
            ADD_FAILURE() << "unknown event " << event;
        }
    }
    return freshness;
}

TEST(ReadingFreshness, PartsGoStaleAfterTwoCyclesWithoutThemAndComeBackWhenRead)
{
    const struct {
        const char* name;
        std::string events;
        std::string expected;
    } rows[] = {
        {"a steady modem", "FF", "----"},
        {"one silent cycle is not yet stale", "FN", "----"},
        {"two silent cycles", "FNN", "olLn"},
        {"a reply after silence", "NNF", "----"},
        {"the signal query keeps failing", "OO", "-lL-"},
        {"a report without location greys it at once", "FU", "--L-"},
        {"a location comes back", "UF", "----"},
        {"no operator: the cleared fields are current", "NNX", "----"},
        {"a lost device: all stale at once", "FL", "olL-"},
        {"a lost device, then the first reply", "FLF", "----"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(flags(play(row.events)), row.expected);
    }
}

TEST(ReadingFreshness, OpeningAPortStartsTheCountOfSilentCyclesAgain)
{
    ReadingFreshness freshness;
    freshness.cycleEnded(kNothing);
    freshness.cycleEnded(kNothing);
    ASSERT_TRUE(freshness.noReply());
    freshness.portOpened();
    EXPECT_FALSE(freshness.noReply());
    EXPECT_TRUE(freshness.operatorStale()) << "opening reads nothing";
    freshness.cycleEnded(kNothing);
    freshness.cycleEnded(kNothing);
    EXPECT_TRUE(freshness.noReply());
}

} // namespace
