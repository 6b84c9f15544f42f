// What a 4G stick's figures cost each polling cycle: the same monitor polls the simulated stick
// first as a 3G stick, then as a 4G stick on LTE, both answering every command after the same
// latency, and prints the cycles' lengths and the difference. On 4G a cycle asks for the
// stick's quality figures too ("AT^HCSQ?", one more transaction), and for its band once per
// cell.
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/cli/CommandLine.h"
#include "platform/window/Offscreen.h"
#include "tools/modemsim/LteStick.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

// Median length in ms of `cycles` polling cycles, after two that settle the stick's format.
double medianCycleMs(MonitorCore& core, int cycles)
{
    core.Timer1_Timer();
    core.Timer1_Timer();
    std::vector<double> lengths;
    for (int i = 0; i < cycles; ++i) {
        const Clock::time_point start = Clock::now();
        core.Timer1_Timer();
        lengths.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(lengths.begin(), lengths.end());
    return lengths[lengths.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Prints the time a 4G stick's quality figures add to a polling cycle."));
    options.addHelpOption();
    const QCommandLineOption latencyOption =
        commandLineOption("latency", "The stick's reply latency (20).", "ms", "20");
    const QCommandLineOption cyclesOption =
        commandLineOption("cycles", "Cycles timed on each stick (40).", "n", "40");
    options.addOptions({latencyOption, cyclesOption});
    options.process(app);
    const int latencyMs = options.value(latencyOption).toInt();
    const int cycles = options.value(cyclesOption).toInt();
    if (latencyMs < 0 || cycles < 1) {
        std::printf("lte-cycle-bench: --latency must not be below 0, --cycles above 0\n");
        return 2;
    }

    SimulatedMonitor monitor;
    modemsim::ModemSimulator& sim = monitor.simulator();
    sim.setLatency(std::chrono::milliseconds(latencyMs));
    sim.setCopsLatency(std::chrono::milliseconds(latencyMs));
    if (!monitor.start()) {
        std::printf("lte-cycle-bench: the simulated stick did not start: %s\n",
                    qPrintable(monitor.errorString()));
        return 1;
    }
    MonitorCore& core = monitor.core();
    core.Timer1->stop(); // the bench runs the cycles itself, one after another

    const double umtsMs = medianCycleMs(core, cycles);
    sim.modifyState(modemsim::useLteStick);
    const double lteMs = medianCycleMs(core, cycles);
    const double addedMs = lteMs - umtsMs;
    std::printf("kestrel 4G cycle benchmark: stick reply latency %d ms, %d cycles each\n",
                latencyMs, cycles);
    std::printf("3G stick:  cycle median %.1f ms (5 transactions)\n", umtsMs);
    std::printf("4G stick:  cycle median %.1f ms (6: the quality figures too)\n", lteMs);
    std::printf("added on 4G: %.1f ms per cycle (goal: under 30 ms with a 20 ms stick) %s\n",
                addedMs, addedMs < 30 ? "met" : "NOT MET");
    return 0;
}
