// polling-bench: the real main window (offscreen) polling the simulated stick through the real
// serial port control, first while the stick answers, then while it stays silent, then while it
// streams bytes without pause, then pulled out and plugged in again as another port. Prints
// cycles per second, how long a change in the stick takes to reach the labels, the monitor's
// CPU time, how long one cycle blocks the event loop, how quickly a pulled and a returning stick
// are seen, and peak memory.
//
//   polling-bench [--seconds 30] [--latency 15] [--silent-seconds 5] [--stream-seconds 3]
//                 [--unplugged-seconds 5]
#include "kestrel/Form1Presenter.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/aiming/AimingTone.h"
#include "kestrel/aiming/TonePitch.h"
#include "kestrel/aiming/ToneSynth.h"
#include "kestrel/at/Conversions.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/cli/CommandLine.h"
#include "platform/sound/AudioSinkOutput.h"
#include "platform/window/Offscreen.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Sample {
    std::vector<double> values;

    void add(double value) { values.push_back(value); }
    double median() const
    {
        if (values.empty()) {
            return 0;
        }
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t mid = sorted.size() / 2;
        return sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
    }
    double max() const
    {
        return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
    }
};

// Changes the stick's state from a thread of its own at random moments, so that changes fall
// at any point of a cycle, also in the middle of a transaction. One change is out at a time;
// the window's thread reports after each cycle whether the labels show it yet.
class ChangeMaker
{
public:
    struct Kind {
        const char* name;
        // Applies the n-th change of this kind to the stick.
        std::function<void(modemsim::ModemSimulator&, int n)> make;
        // Whether the window shows the n-th change.
        std::function<bool(const Form1&, int n)> shown;
        Sample delays; // ms from the change to the end of the cycle that showed it
    };

    ChangeMaker(modemsim::ModemSimulator& sim, std::vector<Kind> kinds)
        : sim_(sim), kinds_(std::move(kinds))
    {
    }
    ~ChangeMaker() { stop(); }

    void start()
    {
        thread_ = std::thread([this] { run(); });
    }

    void stop()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    // Called on the window's thread at the end of every cycle.
    void afterCycle(const Form1& form)
    {
        std::lock_guard lock(mutex_);
        if (!pending_) {
            return;
        }
        Kind& kind = kinds_[pending_->kind];
        if (kind.shown(form, pending_->number)) {
            kind.delays.add(millisecondsBetween(pending_->made, Clock::now()));
            pending_.reset();
            wake_.notify_all();
        }
    }

    const std::vector<Kind>& kinds() const { return kinds_; }

private:
    struct Pending {
        std::size_t kind;
        int number;
        Clock::time_point made;
    };

    void run()
    {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pauseMs(0, 500);
        std::vector<int> made(kinds_.size(), 0);
        for (std::size_t next = 0;; next = (next + 1) % kinds_.size()) {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !pending_; });
            if (wake_.wait_for(lock, std::chrono::milliseconds(pauseMs(random)),
                               [this] { return stopping_; })) {
                return;
            }
            const int number = ++made[next];
            kinds_[next].make(sim_, number);
            pending_ = Pending{next, number, Clock::now()};
        }
    }

    modemsim::ModemSimulator& sim_;
    std::vector<Kind> kinds_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Pending> pending_;
    bool stopping_ = false;
    std::thread thread_;
};

// Each change toggles one value between two states, so the label differs from what it showed.
std::vector<ChangeMaker::Kind> changeKinds()
{
    const auto rssi = [](int n) { return n % 2 ? 23 : 20; };
    const auto name = [](int n) {
        return n % 2 ? QStringLiteral("BenchNet Two") : QStringLiteral("BenchNet");
    };
    const auto code = [](int n) {
        return n % 2 ? QStringLiteral("00102") : QStringLiteral("00101");
    };
    const auto cell = [](int n) { return n % 2 ? 0x00C3D4E6u : 0x00C3D4E5u; };
    return {
        {"level (every cycle)",
         [rssi](modemsim::ModemSimulator& sim, int n) { sim.setRssi(rssi(n)); },
         [rssi](const Form1& form, int n) {
             return form.LblCSQ->text() == dbmCaption(-113 + 2 * rssi(n));
         },
         {}},
        {"operator name (name cycles)",
         [name](modemsim::ModemSimulator& sim, int n) {
             sim.modifyState([&](modemsim::ModemState& s) { s.operatorLong = name(n); });
         },
         [name](const Form1& form, int n) {
             return form.LblCOPS->text() == name(n) + QStringLiteral(" (3G)");
         },
         {}},
        {"network code (code cycles)",
         [code](modemsim::ModemSimulator& sim, int n) {
             sim.modifyState([&](modemsim::ModemState& s) { s.operatorNumeric = code(n); });
         },
         [code](const Form1& form, int n) { return form.LblMNC->text() == code(n).mid(3); },
         {}},
        {"tone pitch (every cycle)",
         [rssi](modemsim::ModemSimulator& sim, int n) { sim.setRssi(rssi(n) + 1); },
         [rssi](const Form1& form, int n) {
             return form.aimingAids().tone().generator().targetPitchHz() ==
                    tonePitchHz(-113 + 2 * (rssi(n) + 1));
         },
         {}},
        {"cell ID (every cycle)",
         [cell](modemsim::ModemSimulator& sim, int n) { sim.setCellId(cell(n)); },
         [cell](const Form1& form, int n) {
             return form.LblCellID->text() == QString::number(cell(n));
         },
         {}},
    };
}

// Figures of one phase: every cycle's length and the CPU time spent meanwhile.
struct Phase {
    Clock::time_point began;
    Clock::time_point ended;
    double threadCpuAtStart = 0;
    double threadCpu = 0;
    double processCpuAtStart = 0;
    double processCpu = 0;
    Sample cycleMs;
    Sample stickMs; // the stick's own reply latencies within each cycle, summed
    Sample ownMs;   // cycle length less that sum: the monitor's share

    void begin()
    {
        began = Clock::now();
        threadCpuAtStart = threadCpuSeconds();
        processCpuAtStart = processCpuSeconds();
    }
    void end()
    {
        ended = Clock::now();
        threadCpu = threadCpuSeconds() - threadCpuAtStart;
        processCpu = processCpuSeconds() - processCpuAtStart;
    }
    double seconds() const { return millisecondsBetween(began, ended) / 1000; }
};

} // namespace

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Polls the simulated stick with the real main window and prints figures."));
    options.addHelpOption();
    const QCommandLineOption secondsOption =
        commandLineOption("seconds", "Seconds of polling an answering stick (30).", "s", "30");
    const QCommandLineOption latencyOption =
        commandLineOption("latency", "The stick's reply latency (15).", "ms", "15");
    const QCommandLineOption silentOption = commandLineOption(
        "silent-seconds", "Seconds of polling a silent stick afterwards (5).", "s", "5");
    const QCommandLineOption streamOption = commandLineOption(
        "stream-seconds", "Seconds of a stick that streams bytes without pause (3).", "s", "3");
    const QCommandLineOption unpluggedOption =
        commandLineOption("unplugged-seconds",
                          "Seconds the stick stays pulled out before it comes back (5).", "s", "5");
    options.addOptions({secondsOption, latencyOption, silentOption, streamOption, unpluggedOption});
    options.process(app);
    const double answeringSeconds = options.value(secondsOption).toDouble();
    const int latencyMs = options.value(latencyOption).toInt();
    const double silentSeconds = options.value(silentOption).toDouble();
    const double streamSeconds = options.value(streamOption).toDouble();
    const double unpluggedSeconds = options.value(unpluggedOption).toDouble();
    if (answeringSeconds <= 0 || latencyMs < 0 || silentSeconds < 0 || streamSeconds < 0 ||
        unpluggedSeconds < 0) {
        std::printf("polling-bench: --seconds must be above 0, --latency and --silent-seconds not "
                    "below 0\n");
        return 2;
    }

    SimulatedMonitor monitor;
    modemsim::ModemSimulator& sim = monitor.simulator();
    sim.setLatency(std::chrono::milliseconds(latencyMs));
    sim.setCopsLatency(std::chrono::milliseconds(latencyMs));
    if (!monitor.start()) {
        std::printf("polling-bench: the simulated stick did not start: %s\n",
                    qPrintable(monitor.errorString()));
        return 1;
    }
    Form1& form = monitor.window();
    form.show();
    // The aiming tone follows the level (no audio device is needed: the pitch is set all the
    // same). Its CPU with the history and full-screen view open is bench/presentation's.
    form.MnuTone->trigger();

    ChangeMaker changes(sim, changeKinds());
    Phase answering;
    Phase silent;
    Phase streaming;
    Phase unplugged;
    Phase* phase = nullptr;
    int warmUpCycles = 0;
    // The pulled stick: when it was pulled and put back, and how long the window took to say so.
    std::optional<Clock::time_point> pulledAt;
    std::optional<Clock::time_point> backAt;
    double pullSeenMs = -1;
    double backLiveMs = -1;
    constexpr qint16 kReturnPort = SimulatedMonitor::kPortNumber + 1;
    const QString backTitle = QStringLiteral("kestrel — USB%1").arg(kReturnPort);
    // Safety net: a stick that never comes back must not hang the benchmark.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &app, &QCoreApplication::quit);

    // Every tick of Timer1 is timed: the window's own connection gives way to one that calls the
    // same handler between two clock reads.
    MonitorCore& core = monitor.core();
    QObject::disconnect(core.Timer1, &QTimer::timeout, &core, nullptr);
    // The stick's log tells how long it took for each reply of the cycle; the rest of the
    // cycle's length is the monitor's own.
    std::size_t logged = 0;
    const auto stickLatencySince = [&sim, &logged] {
        const std::vector<modemsim::LogEntry> log = sim.log();
        double sum = 0;
        for (std::size_t i = logged; i < log.size(); ++i) {
            if (log[i].answered()) {
                sum += millisecondsBetween(log[i].arrived, log[i].replied);
            }
        }
        logged = log.size();
        return sum;
    };
    QObject::connect(core.Timer1, &QTimer::timeout, &form, [&] {
        const Clock::time_point start = Clock::now();
        core.Timer1_Timer();
        const Clock::time_point end = Clock::now();
        const double stickMs = stickLatencySince();
        if (phase) {
            phase->cycleMs.add(millisecondsBetween(start, end));
            phase->stickMs.add(stickMs);
            phase->ownMs.add(millisecondsBetween(start, end) - stickMs);
        }
        if (phase == &answering) {
            changes.afterCycle(form);
        }
        if (pulledAt && pullSeenMs < 0 && form.windowTitle().contains(QLatin1String("unplugged"))) {
            pullSeenMs = millisecondsBetween(*pulledAt, end);
            phase = &unplugged;
            unplugged.begin();
            QTimer::singleShot(static_cast<int>(unpluggedSeconds * 1000), Qt::PreciseTimer, &form,
                               [&] {
                                   unplugged.end();
                                   phase = nullptr;
                                   backAt = Clock::now();
                                   monitor.replugStick(kReturnPort);
                                   giveUp.start(10'000);
                               });
        }
        if (backAt && form.windowTitle() == backTitle &&
            form.LblCSQ->palette().color(QPalette::WindowText) != Form1::staleColour()) {
            backLiveMs = millisecondsBetween(*backAt, end);
            QCoreApplication::quit();
        }
        // A name cycle and a code cycle before measuring: the labels are full.
        if (!phase && ++warmUpCycles == 2) {
            phase = &answering;
            answering.begin();
            changes.start();
            QTimer::singleShot(
                static_cast<int>(answeringSeconds * 1000), Qt::PreciseTimer, &form, [&] {
                    answering.end();
                    changes.stop();
                    sim.silenceForever();
                    phase = &silent;
                    silent.begin();
                    QTimer::singleShot(
                        static_cast<int>(silentSeconds * 1000), Qt::PreciseTimer, &form, [&] {
                            silent.end();
                            // Still silent: nothing but the stream comes.
                            sim.flood(std::numeric_limits<qint64>::max() / 2, 0);
                            phase = &streaming;
                            streaming.begin();
                            QTimer::singleShot(static_cast<int>(streamSeconds * 1000),
                                               Qt::PreciseTimer, &form, [&] {
                                                   streaming.end();
                                                   phase = nullptr;
                                                   sim.stopFlood();
                                                   sim.endSilence();
                                                   pulledAt = Clock::now();
                                                   monitor.unplugStick();
                                                   giveUp.start(10'000);
                                               });
                        });
                });
        }
    });
    app.exec();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpuShare = 100 * answering.threadCpu / answering.seconds();
    const double ownGoalMs = 10;
    std::printf("kestrel polling benchmark: stick reply latency %d ms; %.1f s answering, %.1f s "
                "silent\n",
                latencyMs, answering.seconds(), silent.seconds());
    std::printf("cycles per second:      %.2f  (%zu cycles; Timer1 300 ms between cycles)\n",
                answering.cycleMs.values.size() / answering.seconds(),
                answering.cycleMs.values.size());
    std::printf("cycle blocks the loop:  median %.1f ms, max %.1f ms\n", answering.cycleMs.median(),
                answering.cycleMs.max());
    std::printf("  of which the stick:   median %.1f ms (its five reply latencies, summed)\n",
                answering.stickMs.median());
    std::printf("  the monitor's own:    median %.1f ms, max %.1f ms  (goal: within %.0f ms) %s\n",
                answering.ownMs.median(), answering.ownMs.max(), ownGoalMs,
                answering.ownMs.max() <= ownGoalMs ? "met" : "MISSED");
    std::printf("state change -> labels (at the end of the cycle that shows it):\n");
    for (const ChangeMaker::Kind& kind : changes.kinds()) {
        std::printf("  %-29s median %4.0f ms, max %4.0f ms  (%zu changes)\n", kind.name,
                    kind.delays.median(), kind.delays.max(), kind.delays.values.size());
    }
    const Sample& pitch = changes.kinds()[3].delays; // the tone's pitch
    const double audibleMs =
        pitch.max() + AudioSinkOutput::kBufferMs + static_cast<double>(ToneSynth::kGlideMs);
    std::printf(
        "  tone heard at the new pitch: max %.0f ms (the pitch's, + %d ms audio buffer + %.0f "
        "ms glide: one cycle + 60 ms)\n",
        audibleMs, AudioSinkOutput::kBufferMs, ToneSynth::kGlideMs);
    std::printf("monitor CPU, answering: %.2f%% of one core (window thread; goal < 2%%) %s\n",
                cpuShare, cpuShare < 2 ? "met" : "MISSED");
    std::printf("monitor CPU, silent:    %.2f%% of one core (window thread)\n",
                100 * silent.threadCpu / std::max(silent.seconds(), 1e-9));
    std::printf("process CPU, answering: %.2f%% of one core (window and simulator threads)\n",
                100 * answering.processCpu / answering.seconds());
    std::printf(
        "silent stick blocks:    median %.0f ms, max %.0f ms per cycle (%zu cycles; 500 reads)\n",
        silent.cycleMs.median(), silent.cycleMs.max(), silent.cycleMs.values.size());
    std::printf("streaming stick blocks: median %.0f ms, max %.0f ms per cycle (%zu cycles; goal "
                "<= 1000 ms) %s\n",
                streaming.cycleMs.median(), streaming.cycleMs.max(),
                streaming.cycleMs.values.size(),
                streaming.cycleMs.max() <= 1000 ? "met" : "MISSED");
    std::printf("stick pulled -> title:  %.0f ms (goal: within 1000 ms) %s\n", pullSeenMs,
                pullSeenMs >= 0 && pullSeenMs <= 1000 ? "met" : "MISSED");
    const double waitingShare = 100 * unplugged.threadCpu / std::max(unplugged.seconds(), 1e-9);
    std::printf(
        "monitor CPU, unplugged: %.3f%% of one core over %.1f s (window thread; goal < 1%%) "
        "%s\n",
        waitingShare, unplugged.seconds(), waitingShare < 1 ? "met" : "MISSED");
    std::printf("stick back -> polling:  %.0f ms to \"%s\" with live colours (goal: within "
                "2000 ms) %s\n",
                backLiveMs, qPrintable(backTitle),
                backLiveMs >= 0 && backLiveMs <= 2000 ? "met" : "MISSED");
    std::printf("peak resident memory:   %.1f MiB (monitor and simulator in one process)\n",
                usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
    return 0;
}
