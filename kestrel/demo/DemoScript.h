#pragma once

#include "tools/modemsim/Scenario.h"

#include <QString>
#include <chrono>
#include <vector>

// One change of the demo's simulated stick, `at` from the start of a round. `what` says in a
// few words what the user should see now ("" for a change that belongs to the one before).
struct DemoStep {
    std::chrono::milliseconds at;
    QString what;
    modemsim::ScenarioAction action;
};

// The demo's round: 3G with the level rising and falling, a move to 2G on another cell, a
// handover to a third cell, a spell with no operator, back to the first cell in 3G, the stick
// pulled out and plugged in again as ttyUSB4, then a 4G stick on LTE with a handover.
std::vector<DemoStep> demoRound();
inline constexpr std::chrono::milliseconds kDemoRoundLength{52'000};

// An antenna being turned: on a 3G cell the level sweeps up from index 5 to 31 and down again
// in steps of 2, one every 600 ms, for the aiming aids to follow.
std::vector<DemoStep> sweepRound();
inline constexpr std::chrono::milliseconds kSweepRoundLength{16'800};

// An antenna being turned on a 4G stick: SINR sweeps up from -5 dB to +25 dB and down again
// in steps of 2.5 dB, one every 600 ms, RSRP with it from -115 to -85 dBm, for the aiming aids
// to follow by SINR.
std::vector<DemoStep> sinrSweepRound();
inline constexpr std::chrono::milliseconds kSinrSweepRoundLength{14'400};

// A HiLink stick (no AT port, read over its web API) on LTE: the level and SINR rising, the
// stick's session expiring, a handover, the stick pulled out and plugged in again.
std::vector<DemoStep> hilinkRound();
inline constexpr std::chrono::milliseconds kHilinkRoundLength{21'000};

// Plays a round of steps over and over.
class DemoScript
{
public:
    DemoScript(std::vector<DemoStep> steps, std::chrono::milliseconds roundLength);

    // The steps at the very start (at 0 of the first round), for the stick's state before any
    // client opens it.
    std::vector<DemoStep> opening() const;
    // The steps that fall due after `from` and up to `to`, both counted from the start of the
    // first round, in order and across as many rounds as that span covers. The opening is
    // never due again at 0, but is at the start of each later round.
    std::vector<DemoStep> due(std::chrono::milliseconds from, std::chrono::milliseconds to) const;

private:
    std::vector<DemoStep> steps_;
    std::chrono::milliseconds roundLength_;
};
