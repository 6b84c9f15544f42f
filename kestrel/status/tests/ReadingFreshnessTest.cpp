#include "kestrel/status/ReadingFreshness.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace
{

using Location = CycleReadings::Location;

// "olLn": operator, level, location stale, no reply; '-' where the flag is off.
std::string flags(const ReadingFreshness& f)
{
    return {f.operatorStale() ? 'o' : '-', f.levelStale() ? 'l' : '-',
            f.locationStale() ? 'L' : '-', f.noReply() ? 'n' : '-'};
}

// Cycles as letters: F a full reading, N nothing read, O the operator only, U a report
// without location, X "no operator"; L the device lost, P a port opened.
ReadingFreshness play(const std::string& events)
{
    const std::map<char, CycleReadings> cycles{
        {'F', {true, false, true, Location::Read}},
        {'N', {}},
        {'O', {true, false, false, Location::NotRead}},
        {'U', {true, false, true, Location::Missing}},
        {'X', {true, true, false, Location::NotRead}},
    };
    ReadingFreshness freshness;
    for (const char event : events) {
        if (event == 'L')
            freshness.deviceLost();
        if (event == 'L' || event == 'P')
            freshness.portOpened();
        else
            freshness.cycleEnded(cycles.at(event));
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
        {"opening a port reads nothing but restarts the silent count", "NNP", "olL-"},
        {"two silent cycles after opening", "NNPNN", "olLn"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(flags(play(row.events)), row.expected);
    }
}

} // namespace
