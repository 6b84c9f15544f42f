// polling-bench: the real monitor (its window offscreen and shown, its core in a thread of its
// own, as in the program) polling the simulated stick through the real serial port control:
// first while the stick answers, then while it answers every command in 450 ms, then while it
// stays silent, then while it streams bytes without pause, then pulled out and plugged in again
// as another port. Prints cycles per second, how long a cycle takes and how much of it is the
// monitor's own, how long a change in the stick takes to reach the labels, the longest time
// the window's thread went without handling its events, the CPU time of both threads, how
// quickly a pulled and a returning stick are seen, and peak memory.
//
//   polling-bench [--seconds 30] [--latency 15] [--slow-seconds 10] [--slow-latency 450]
//                 [--silent-seconds 5] [--stream-seconds 3] [--unplugged-seconds 5]
#include "kestrel/Form1Presenter.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/aiming/AimingTone.h"
#include "kestrel/aiming/TonePitch.h"
#include "kestrel/aiming/ToneSynth.h"
#include "kestrel/at/Conversions.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "kestrel/monitor/MonitorCore.h"
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
#include <pthread.h>
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
                    tonePitchHz(AimMeasure::Level, -113 + 2 * (rssi(n) + 1));
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

// CPU seconds of a thread, by its clock.
double cpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Figures of one phase: every cycle's length (taken in the core's thread), the window thread's
// gaps between two turns of its event loop, and the CPU time of both threads meanwhile.
struct Phase {
    Clock::time_point began;
    Clock::time_point ended;
    double windowCpuAtStart = 0;
    double windowCpu = 0;
    double coreCpuAtStart = 0;
    double coreCpu = 0;
    double processCpuAtStart = 0;
    double processCpu = 0;
    Sample cycleMs;
    Sample stickMs;     // the stick's own reply latencies within each cycle, summed
    Sample ownMs;       // cycle length less that sum: the monitor's share
    Sample windowGapMs; // between two heartbeats of the window's event loop

    void begin(clockid_t coreClock)
    {
        began = Clock::now();
        windowCpuAtStart = threadCpuSeconds();
        coreCpuAtStart = cpuSeconds(coreClock);
        processCpuAtStart = processCpuSeconds();
    }
    void end(clockid_t coreClock)
    {
        ended = Clock::now();
        windowCpu = threadCpuSeconds() - windowCpuAtStart;
        coreCpu = cpuSeconds(coreClock) - coreCpuAtStart;
        processCpu = processCpuSeconds() - processCpuAtStart;
    }
    double seconds() const { return millisecondsBetween(began, ended) / 1000; }
    double share(double cpu) const { return 100 * cpu / std::max(seconds(), 1e-9); }
};

// Whether every cycle in the log sent the same commands in the same order: the operator query
// and its format switch, the signal query, the registration's two commands. The cycles a phase
// cut at its ends are left out.
bool everyCycleInOrder(const std::vector<modemsim::LogEntry>& log, std::size_t* cycles)
{
    std::vector<QByteArray> commands;
    for (const modemsim::LogEntry& entry : log) {
        commands.push_back(entry.command);
    }
    const auto first = std::find(commands.begin(), commands.end(), QByteArray("AT+COPS?"));
    *cycles = 0;
    for (auto at = first; commands.end() - at >= 5; at += 5) {
        const bool inOrder = at[0] == "AT+COPS?" && at[1].startsWith("AT+COPS=0,") &&
                             at[2] == "AT+CSQ" && at[3] == "AT+CGREG=2" && at[4] == "AT+CGREG?";
        if (!inOrder) {
            return false;
        }
        ++*cycles;
    }
    return *cycles > 0;
}

} // namespace

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Polls the simulated stick with the real monitor and prints figures."));
    options.addHelpOption();
    const QCommandLineOption secondsOption =
        commandLineOption("seconds", "Seconds of polling an answering stick (30).", "s", "30");
    const QCommandLineOption latencyOption =
        commandLineOption("latency", "The stick's reply latency (15).", "ms", "15");
    const QCommandLineOption slowOption = commandLineOption(
        "slow-seconds", "Seconds of a stick that answers slowly afterwards (10).", "s", "10");
    const QCommandLineOption slowLatencyOption =
        commandLineOption("slow-latency", "The slow stick's reply latency (450).", "ms", "450");
    const QCommandLineOption silentOption = commandLineOption(
        "silent-seconds", "Seconds of polling a silent stick afterwards (5).", "s", "5");
    const QCommandLineOption streamOption = commandLineOption(
        "stream-seconds", "Seconds of a stick that streams bytes without pause (3).", "s", "3");
    const QCommandLineOption unpluggedOption =
        commandLineOption("unplugged-seconds",
                          "Seconds the stick stays pulled out before it comes back (5).", "s", "5");
    options.addOptions({secondsOption, latencyOption, slowOption, slowLatencyOption, silentOption,
                        streamOption, unpluggedOption});
    options.process(app);
    const double answeringSeconds = options.value(secondsOption).toDouble();
    const int latencyMs = options.value(latencyOption).toInt();
    const double slowSeconds = options.value(slowOption).toDouble();
    const int slowLatencyMs = options.value(slowLatencyOption).toInt();
    const double silentSeconds = options.value(silentOption).toDouble();
    const double streamSeconds = options.value(streamOption).toDouble();
    const double unpluggedSeconds = options.value(unpluggedOption).toDouble();
    if (answeringSeconds <= 0 || latencyMs < 0 || slowSeconds < 0 || slowLatencyMs < 0 ||
        silentSeconds < 0 || streamSeconds < 0 || unpluggedSeconds < 0) {
        std::printf("polling-bench: --seconds must be above 0, the other figures not below 0\n");
        return 2;
    }

    SimulatedMonitor monitor;
    monitor.setOwnThread(true);
    modemsim::ModemSimulator& sim = monitor.simulator();
    const auto setLatency = [&sim](int ms) {
        sim.setLatency(std::chrono::milliseconds(ms));
        sim.setCopsLatency(std::chrono::milliseconds(ms));
    };
    setLatency(latencyMs);
    if (!monitor.start()) {
        std::printf("polling-bench: the simulated stick did not start: %s\n",
                    qPrintable(monitor.errorString()));
        return 1;
    }
    Form1& form = monitor.window();
    MonitorCore& core = monitor.core();
    form.show();
    // The aiming tone follows the level (no audio device is needed: the pitch is set all the
    // same). Its CPU with the history and full-screen view open is bench/presentation's.
    form.MnuTone->trigger();

    // The core's thread: its CPU clock, and each tick of Timer1 timed there, around the same
    // handler the core's own connection calls.
    clockid_t coreClock{};
    std::mutex guard; // the phase under way and the samples taken in the core's thread
    Phase answering;
    Phase slow;
    Phase silent;
    Phase streaming;
    Phase unplugged;
    Phase* phase = nullptr;
    std::size_t logged = 0;
    const auto stickLatencySince = [&sim, &logged] {
        const std::vector<modemsim::LogEntry> log = sim.log();
        double sum = 0;
        logged = std::min(logged, log.size());
        for (std::size_t i = logged; i < log.size(); ++i) {
            if (log[i].answered()) {
                sum += millisecondsBetween(log[i].arrived, log[i].replied);
            }
        }
        logged = log.size();
        return sum;
    };
    QMetaObject::invokeMethod(
        &core,
        [&] {
            pthread_getcpuclockid(pthread_self(), &coreClock);
            QObject::disconnect(core.Timer1, &QTimer::timeout, &core, nullptr);
            QObject::connect(core.Timer1, &QTimer::timeout, &core, [&] {
                const Clock::time_point start = Clock::now();
                core.Timer1_Timer();
                const Clock::time_point end = Clock::now();
                const std::lock_guard lock(guard);
                const double stickMs = stickLatencySince();
                if (phase) {
                    phase->cycleMs.add(millisecondsBetween(start, end));
                    phase->stickMs.add(stickMs);
                    phase->ownMs.add(millisecondsBetween(start, end) - stickMs);
                }
            });
        },
        Qt::BlockingQueuedConnection);

    // The window's thread: a heartbeat every 5 ms; a gap between two beats is a time the
    // window could not handle its events.
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(5);
    Clock::time_point lastBeat = Clock::now();
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        const std::lock_guard lock(guard);
        if (phase) {
            phase->windowGapMs.add(millisecondsBetween(lastBeat, now));
        }
        lastBeat = now;
    });
    heartbeat.start();

    const auto beginPhase = [&](Phase& next) {
        const std::lock_guard lock(guard);
        next.begin(coreClock);
        phase = &next;
    };
    const auto endPhase = [&] {
        const std::lock_guard lock(guard);
        phase->end(coreClock);
        phase = nullptr;
    };
    const auto after = [&form](double seconds, const std::function<void()>& then) {
        QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &form, then);
    };

    ChangeMaker changes(sim, changeKinds());
    bool slowInOrder = false;
    std::size_t slowCycles = 0;
    int warmUpReadings = 0;
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

    // The phases, one after another, from the window's thread.
    const auto pull = [&] {
        endPhase();
        sim.stopFlood();
        sim.endSilence();
        pulledAt = Clock::now();
        monitor.unplugStick();
        giveUp.start(10'000);
    };
    const auto stream = [&] {
        endPhase();
        // Still silent: nothing but the stream comes.
        sim.flood(std::numeric_limits<qint64>::max() / 2, 0);
        beginPhase(streaming);
        after(streamSeconds, pull);
    };
    const auto silence = [&] {
        endPhase();
        slowInOrder = everyCycleInOrder(sim.log(), &slowCycles);
        setLatency(latencyMs);
        sim.silenceForever();
        beginPhase(silent);
        after(silentSeconds, stream);
    };
    const auto slowDown = [&] {
        endPhase();
        changes.stop();
        setLatency(slowLatencyMs);
        {
            const std::lock_guard lock(guard);
            sim.clearLog();
            logged = 0;
        }
        beginPhase(slow);
        after(slowSeconds, silence);
    };

    // Each reading reaches the window after its own slot showed it.
    QObject::connect(&core, &MonitorCore::readingReady, &form, [&](const MonitorReading& r) {
        const Clock::time_point now = Clock::now();
        if (phase == &answering) {
            changes.afterCycle(form);
        }
        // A name cycle and a code cycle before measuring: the labels are full.
        if (!pulledAt && ++warmUpReadings == 2) {
            beginPhase(answering);
            changes.start();
            after(answeringSeconds, slowDown);
        }
        if (backAt && backLiveMs < 0 && form.windowTitle() == backTitle && !r.levelStale) {
            backLiveMs = millisecondsBetween(*backAt, now);
            QCoreApplication::quit();
        }
    });
    QObject::connect(&form, &QWidget::windowTitleChanged, &form, [&](const QString& title) {
        if (pulledAt && pullSeenMs < 0 && title.contains(QLatin1String("unplugged"))) {
            pullSeenMs = millisecondsBetween(*pulledAt, Clock::now());
            beginPhase(unplugged);
            after(unpluggedSeconds, [&] {
                endPhase();
                backAt = Clock::now();
                monitor.replugStick(kReturnPort);
                giveUp.start(10'000);
            });
        }
    });
    app.exec();
    core.finish();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double ownGoalMs = 10;
    const double gapGoalMs = 100;
    const auto gapLine = [gapGoalMs](const char* name, const Phase& p) {
        std::printf("window's longest wait:  %-10s max %5.1f ms, median %.1f ms between two turns "
                    "of its event loop (goal: within %.0f ms) %s\n",
                    name, p.windowGapMs.max(), p.windowGapMs.median(), gapGoalMs,
                    p.windowGapMs.max() <= gapGoalMs ? "met" : "MISSED");
    };
    std::printf("kestrel polling benchmark: stick reply latency %d ms; %.1f s answering, %.1f s at "
                "%d ms, %.1f s silent\n",
                latencyMs, answering.seconds(), slow.seconds(), slowLatencyMs, silent.seconds());
    std::printf("cycles per second:      %.2f  (%zu cycles; Timer1 300 ms between cycles)\n",
                answering.cycleMs.values.size() / answering.seconds(),
                answering.cycleMs.values.size());
    std::printf("cycle length:           median %.1f ms, max %.1f ms (in the core's thread)\n",
                answering.cycleMs.median(), answering.cycleMs.max());
    std::printf("  of which the stick:   median %.1f ms (its five reply latencies, summed)\n",
                answering.stickMs.median());
    std::printf("  the monitor's own:    median %.1f ms, max %.1f ms  (goal: within %.0f ms) %s\n",
                answering.ownMs.median(), answering.ownMs.max(), ownGoalMs,
                answering.ownMs.max() <= ownGoalMs ? "met" : "MISSED");
    gapLine("answering", answering);
    std::printf("state change -> labels (when the window shows the reading that has it):\n");
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
    std::printf("CPU, answering:         window thread %.2f%%, core thread %.2f%% of one core "
                "(goal < 2%% each) %s\n",
                answering.share(answering.windowCpu), answering.share(answering.coreCpu),
                answering.share(answering.windowCpu) < 2 && answering.share(answering.coreCpu) < 2
                    ? "met"
                    : "MISSED");
    std::printf("process CPU, answering: %.2f%% of one core (window, core and simulator threads)\n",
                answering.share(answering.processCpu));
    std::printf("slow stick (%d ms):     cycles median %.0f ms, max %.0f ms; %zu whole cycles, "
                "every one the same five commands in the same order: %s\n",
                slowLatencyMs, slow.cycleMs.median(), slow.cycleMs.max(), slowCycles,
                slowInOrder ? "yes" : "NO");
    gapLine("slow", slow);
    std::printf("silent stick:           cycles median %.0f ms, max %.0f ms (%zu cycles; 500 "
                "reads); core thread %.2f%% of one core\n",
                silent.cycleMs.median(), silent.cycleMs.max(), silent.cycleMs.values.size(),
                silent.share(silent.coreCpu));
    gapLine("silent", silent);
    std::printf("streaming stick:        cycles median %.0f ms, max %.0f ms (%zu cycles; goal "
                "<= 1000 ms) %s\n",
                streaming.cycleMs.median(), streaming.cycleMs.max(),
                streaming.cycleMs.values.size(),
                streaming.cycleMs.max() <= 1000 ? "met" : "MISSED");
    gapLine("streaming", streaming);
    std::printf("stick pulled -> title:  %.0f ms (goal: within 1000 ms) %s\n", pullSeenMs,
                pullSeenMs >= 0 && pullSeenMs <= 1000 ? "met" : "MISSED");
    const double waitingShare =
        unplugged.share(unplugged.windowCpu) + unplugged.share(unplugged.coreCpu);
    std::printf("CPU, unplugged:         %.3f%% of one core over %.1f s (window and core threads; "
                "goal < 1%%) %s\n",
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
