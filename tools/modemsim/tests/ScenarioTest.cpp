#include "tools/modemsim/Scenario.h"

#include "tools/modemsim/ScenarioPlayer.h"

#include <gtest/gtest.h>

using namespace modemsim;
using namespace std::chrono_literals;

// One line of each form (the one-word switches and the actions of one number share their
// reading) and one refused line of each kind; the lines that set up the network are read in the
// responder's test, by their effect on the replies.
TEST(ScenarioParser, ReadsEachFormAndRefusesWithAReason)
{
    using namespace action;
    using Step = ScenarioStep;
    const struct {
        const char* line;
        std::optional<Step> step; // none: the line is refused
        const char* reason = "";  // what the refusal says
    } rows[] = {
        {"at 5s rssi 12", Step{5000ms, Rssi{12}}},
        {"at 10s silent 3s", Step{10000ms, Silent{3000ms}}},
        {"at 12s unplug", Step{12000ms, Unplug{}}},
        {"replug", Step{std::nullopt, Replug{}}},
        {"at 12s replug ttyUSB3", Step{12000ms, Replug{"ttyUSB3"}}},
        {"at 1.5s silent forever", Step{1500ms, Silent{std::nullopt}}},
        {"at 250ms speak", Step{250ms, Speak{}}},
        {"at 0.5m rssi 99", Step{30000ms, Rssi{99}}},
        {"tech WCDMA", Step{std::nullopt, Tech{Technology::Umts}}},
        {"latency 40ms", Step{std::nullopt, Latency{40ms}}},
        {"cops-latency 1.2s", Step{std::nullopt, CopsLatency{1200ms}}},
        {"split halves 5ms", Step{std::nullopt, Split{ReplySplit::Halves, 5ms}}},
        {"flood 16k 4k/s", Step{std::nullopt, Flood{16384, 4096}}},
        {"unsolicited rssi 2s", Step{std::nullopt, Report{Unsolicited::Rssi, true, 2000ms}}},
        {"  AT 3s  RSSI 4   # a comment", Step{3000ms, Rssi{4}}},
        {"at 0s quit", Step{0ms, Quit{}}},
        {"at 5s rsrp -95", Step{5000ms, CellFigure{&CellQuality::rsrpDbm, false, -95}}},
        {"sinr NR -0.4", Step{std::nullopt, CellFigure{&CellQuality::sinrTenths, true, -4}}},
        {"rsrq lte -7.5", Step{std::nullopt, CellFigure{&CellQuality::rsrqTenths, false, -75}}},
        {"at 5 rssi 12", {}, "\"at\" expects a time"},
        {"at 5s", {}, "no action"},
        {"rssi 100", {}, "rssi expects a number"},
        {"dance", {}, "unknown action \"dance\""},
        {"operator \"Foo", {}, "unclosed quote"},
        {"lac 123456789", {}, "lac expects one to eight hexadecimal digits"},
        {"flood 16k 4k", {}, "flood expects"},
        {"unsolicited signal on", {}, "unsolicited expects"},
        {"replug ../ttyUSB3", {}, "replug expects nothing, or the name of the new link"},
        {"network 5g", {}, "network expects lte or nsa"},
        {"rsrp -43", {}, "rsrp expects dBm from -140 to -44"},
        {"rsrp -95.5", {}, "rsrp expects"},
        {"sinr 12.45", {}, "sinr expects dB from -20 to 30 with one decimal"},
        {"rsrq 5g -7", {}, "rsrq expects"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const ParsedLine parsed = parseScenarioLine(QString::fromUtf8(row.line));
        EXPECT_EQ(parsed.step, row.step);
        EXPECT_EQ(parsed.ok(), row.step.has_value()) << parsed.error.toStdString();
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(row.reason)))
            << parsed.error.toStdString();
    }
}

// Steps apply in time order, untimed ones at once, and a step that fails reports why.
TEST(ScenarioPlayer, AppliesStepsInTimeOrderAndReportsFailures)
{
    ModemSimulator sim; // not started: the player only calls setters, and a replug cannot work
    // Time 0 lies ahead, so that the timed steps are all still to come when they are added.
    ScenarioPlayer player(sim, Clock::now() + 200ms);
    QStringList seen; // the levels set and the problems reported
    player.setAfterStep([&seen](const ScenarioAction& a, const QString& problem) {
        const auto* rssi = std::get_if<action::Rssi>(&a);
        seen << (rssi ? QString::number(rssi->value) : problem.left(13));
    });
    for (const char* line :
         {"at 60ms rssi 7", "at 20ms rssi 6", "rssi 5", "at 40ms tech 2g", "at 80ms replug"})
        player.add(*parseScenarioLine(line).step);
    ASSERT_TRUE(player.waitUntilDone(2000));
    EXPECT_EQ(seen, (QStringList{"5", "6", "", "7", "replug failed"}));
    EXPECT_EQ(sim.state().rssi, 7);
    EXPECT_EQ(sim.state().technology(), Technology::Gsm);
}
