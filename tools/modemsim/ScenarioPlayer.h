#pragma once

#include "tools/modemsim/ModemSimulator.h"
#include "tools/modemsim/Scenario.h"

#include <QString>
#include <functional>
#include <memory>

namespace modemsim
{

// Applies one action to the simulator at once. Returns what went wrong, in words ("" when it
// went well). Quit is not the simulator's business and does nothing here.
QString applyAction(ModemSimulator& simulator, const ScenarioAction& action);

// Plays scenario steps against a simulator on a thread of its own: each step at its time,
// counted from `origin`; a step without a time, or whose time has passed, at once. Steps due
// at the same time run in the order they were added.
class ScenarioPlayer
{
public:
    ScenarioPlayer(ModemSimulator& simulator, Clock::time_point origin);
    ~ScenarioPlayer(); // drops the steps not yet due
    ScenarioPlayer(const ScenarioPlayer&) = delete;
    ScenarioPlayer& operator=(const ScenarioPlayer&) = delete;

    // Called on the player's thread after each step with what went wrong ("" when nothing
    // did); a quit step does nothing but call it.
    void setAfterStep(std::function<void(const ScenarioAction&, const QString& problem)> handler);

    void add(const ScenarioStep& step);
    // Waits until every step added so far has been applied.
    bool waitUntilDone(int timeoutMs);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace modemsim
