// The polling cycle on a HiLink stick: the monitor reads the simulator's 4G stick over its web
// API on 127.0.0.1, one round of requests per cycle, the next round 300 ms after the last
// answer. Prints how long the rounds take and the cycles' period, first with a session that
// stays valid, then with one that expires before every round (the round then asks for a new
// session and the SIM's state as well).
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/cli/CommandLine.h"
#include "platform/window/Offscreen.h"
#include "tools/modemsim/LteStick.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

struct Figures {
    double roundMedianMs = 0; // from Timer1's tick to the reading
    double roundMaxMs = 0;
    double periodMedianMs = 0; // from one reading to the next
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// `cycles` rounds and the periods between their readings.
Figures timeCycles(SimulatedMonitor& monitor, int cycles, bool expireEachRound)
{
    std::vector<double> rounds;
    std::vector<double> periods;
    QElapsedTimer clock;
    clock.start();
    qint64 tick = -1;
    qint64 lastReading = -1;
    const QMetaObject::Connection ticks = QObject::connect(monitor.core().Timer1, &QTimer::timeout,
                                                           [&] { tick = clock.nsecsElapsed(); });
    const QMetaObject::Connection readings =
        QObject::connect(&monitor.core(), &MonitorCore::readingReady, [&](const MonitorReading&) {
            const qint64 now = clock.nsecsElapsed();
            if (tick >= 0 && lastReading >= 0) {
                rounds.push_back((now - tick) / 1e6);
                periods.push_back((now - lastReading) / 1e6);
            }
            lastReading = now;
            if (expireEachRound) {
                monitor.simulator().modifyState(
                    [](modemsim::ModemState& s) { ++s.hilinkSessionEpoch; });
            }
        });
    while (static_cast<int>(rounds.size()) < cycles) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QObject::disconnect(ticks);
    QObject::disconnect(readings);
    return {median(rounds), *std::max_element(rounds.begin(), rounds.end()), median(periods)};
}

} // namespace

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Prints the polling cycle's length on a HiLink stick (web API)."));
    options.addHelpOption();
    const QCommandLineOption cyclesOption =
        commandLineOption("cycles", "Cycles timed in each run (30).", "n", "30");
    options.addOption(cyclesOption);
    options.process(app);
    const int cycles = options.value(cyclesOption).toInt();
    if (cycles < 1) {
        std::printf("hilink-cycle-bench: --cycles must be above 0\n");
        return 2;
    }

    SimulatedMonitor monitor;
    monitor.setHilink(true);
    monitor.simulator().modifyState(modemsim::useLteStick);
    if (!monitor.start()) {
        std::printf("hilink-cycle-bench: the simulated stick did not start: %s\n",
                    qPrintable(monitor.errorString()));
        return 1;
    }
    const int intervalMs = monitor.core().Timer1->interval();
    const Figures steady = timeCycles(monitor, cycles, false);
    const Figures expiring = timeCycles(monitor, cycles, true);
    std::printf("kestrel HiLink cycle benchmark: %s, %d cycles each, Timer1 %d ms after the "
                "last answer\n",
                qPrintable(monitor.hilinkBoxText()), cycles, intervalMs);
    const auto print = [](const char* what, const Figures& f) {
        std::printf("%s round median %.2f ms, longest %.2f ms; cycle median %.1f ms\n", what,
                    f.roundMedianMs, f.roundMaxMs, f.periodMedianMs);
    };
    print("session kept (signal, operator):                       ", steady);
    print("session expiring (+ refused signal, session, SIM state):", expiring);
    std::printf("a real stick answers each request in its own time; the simulator here at once\n");
    return 0;
}
