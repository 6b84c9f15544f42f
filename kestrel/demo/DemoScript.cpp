#include "kestrel/demo/DemoScript.h"

#include <algorithm>

using namespace std::chrono_literals;
using namespace modemsim::action;
using modemsim::Technology;

namespace
{

const Operator kHomeNetwork{QStringLiteral("Kestrel Mobile"), QStringLiteral("Kestrel"),
                            QStringLiteral("00101")};

// A 4G stick on LTE (operator 310 260, its tracking area and 28-bit cell), from `start` on.
std::vector<DemoStep> lteStage(std::chrono::milliseconds start)
{
    return {
        {start, QStringLiteral("4G stick on LTE, three-digit MNC"), LteNetwork{}},
        {start, {}, Rssi{21}},
        {start + 4s, QStringLiteral("4G, level rising"), Rssi{26}},
        {start + 7s, QStringLiteral("LTE handover to another cell"), Cell{0x01A2D00B}},
    };
}

} // namespace

std::vector<DemoStep> demoRound()
{
    std::vector<DemoStep> round = {
        {0s, QStringLiteral("3G, fair level"), kHomeNetwork},
        {0s, {}, Tech{Technology::Umts}},
        {0s, {}, Rssi{14}},
        {0s, {}, Lac{0x1A2B}},
        {0s, {}, Cell{0x00C3D4E5}},
        {3s, QStringLiteral("level rising"), Rssi{18}},
        {5s, {}, Rssi{22}},
        {7s, {}, Rssi{26}},
        {9s, QStringLiteral("full strength"), Rssi{31}},
        {11s, QStringLiteral("level falling"), Rssi{24}},
        {13s, {}, Rssi{17}},
        {15s, {}, Rssi{11}},
        {17s, QStringLiteral("2G on another cell"), Tech{Technology::Gsm}},
        {17s, {}, Rssi{9}},
        {17s, {}, Lac{0x2F1C}},
        {17s, {}, Cell{0x0000B3F1}},
        {20s, QStringLiteral("2G, level rising"), Rssi{13}},
        {22s, {}, Rssi{16}},
        {25s, QStringLiteral("handover to a neighbouring cell"), Cell{0x0000B3F7}},
        {25s, {}, Rssi{19}},
        {28s, QStringLiteral("no operator"), NoOperator{}},
        {28s, {}, Rssi{99}},
        {31s, QStringLiteral("back in 3G on the first cell"), kHomeNetwork},
        {31s, {}, Tech{Technology::Umts}},
        {31s, {}, Rssi{20}},
        {31s, {}, Lac{0x1A2B}},
        {31s, {}, Cell{0x00C3D4E5}},
        {33s, QStringLiteral("stick pulled out: readings grey, title says unplugged"), Unplug{}},
        {36s, QStringLiteral("plugged in again as ttyUSB4: opened with no click"),
         Replug{QStringLiteral("ttyUSB4")}},
        {38s, QStringLiteral("level rising"), Rssi{23}},
    };
    const std::vector<DemoStep> lte = lteStage(40s);
    round.insert(round.end(), lte.begin(), lte.end());
    return round;
}

std::vector<DemoStep> sweepRound()
{
    std::vector<DemoStep> round = {
        {0s, QStringLiteral("antenna turning: the level sweeps up"), kHomeNetwork},
        {0s, {}, Tech{Technology::Umts}},
        {0s, {}, Lac{0x1A2B}},
        {0s, {}, Cell{0x00C3D4E5}},
    };
    constexpr std::chrono::milliseconds step{600};
    std::chrono::milliseconds at{0};
    for (int index = 5; index <= 31; index += 2, at += step) {
        round.push_back({at,
                         index == 31 ? QStringLiteral("best direction, then back down") : QString(),
                         Rssi{index}});
    }
    for (int index = 29; index >= 7; index -= 2, at += step) {
        round.push_back({at, {}, Rssi{index}});
    }
    return round;
}

std::vector<DemoStep> sinrSweepRound()
{
    using modemsim::CellQuality;
    std::vector<DemoStep> round = {
        {0s, QStringLiteral("4G antenna turning: SINR sweeps up"), LteNetwork{}},
    };
    constexpr std::chrono::milliseconds step{600};
    std::chrono::milliseconds at{0};
    const auto point = [&round, &at, step](int stepNumber, const QString& what) {
        round.push_back(
            {at, what, CellFigure{&CellQuality::sinrTenths, false, -50 + 25 * stepNumber}});
        round.push_back(
            {at, {}, CellFigure{&CellQuality::rsrpDbm, false, -115 + 5 * stepNumber / 2}});
        at += step;
    };
    for (int n = 0; n <= 12; ++n) {
        point(n, n == 12 ? QStringLiteral("best direction, then back down") : QString());
    }
    for (int n = 11; n >= 1; --n) {
        point(n, {});
    }
    return round;
}

std::vector<DemoStep> hilinkRound()
{
    using modemsim::CellQuality;
    return {
        {0s, QStringLiteral("HiLink stick on LTE, read over its web API"), LteNetwork{}},
        {0s, {}, Rssi{21}},
        {3s, QStringLiteral("level and SINR rising"), Rssi{25}},
        {3s, {}, CellFigure{&CellQuality::sinrTenths, false, 220}},
        {6s, QStringLiteral("the stick's session expires: a new one, no gap"), Hilink{true, {}}},
        {9s, QStringLiteral("LTE handover to another cell"), Cell{0x01A2D00B}},
        {12s, QStringLiteral("stick pulled out: readings grey, title says unplugged"), Unplug{}},
        {15s, QStringLiteral("plugged in again: read again with no click"), Replug{}},
        {18s, QStringLiteral("level rising"), Rssi{28}},
    };
}

DemoScript::DemoScript(std::vector<DemoStep> steps, std::chrono::milliseconds roundLength)
    : steps_(std::move(steps)), roundLength_(std::max(roundLength, std::chrono::milliseconds{1}))
{
    std::stable_sort(steps_.begin(), steps_.end(),
                     [](const DemoStep& a, const DemoStep& b) { return a.at < b.at; });
}

std::vector<DemoStep> DemoScript::opening() const
{
    std::vector<DemoStep> out;
    for (const DemoStep& step : steps_) {
        if (step.at.count() == 0) {
            out.push_back(step);
        }
    }
    return out;
}

std::vector<DemoStep> DemoScript::due(std::chrono::milliseconds from,
                                      std::chrono::milliseconds to) const
{
    std::vector<DemoStep> out;
    if (to <= from) {
        return out;
    }
    const auto firstRound = std::max<std::int64_t>(from / roundLength_, 0);
    const auto lastRound = to / roundLength_;
    for (auto round = firstRound; round <= lastRound; ++round) {
        const std::chrono::milliseconds roundStart = round * roundLength_;
        for (const DemoStep& step : steps_) {
            const auto when = roundStart + step.at;
            if (when > from && when <= to) {
                out.push_back(step);
            }
        }
    }
    return out;
}
