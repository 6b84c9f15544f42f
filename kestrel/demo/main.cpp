// kestrel-demo: the monitor's main window polling a simulated stick that runs in this process
// on a pseudo-terminal, through a round of states (3G and 2G, levels rising and falling, a cell
// change, no operator, the stick pulled out and plugged in again as another port) that repeats
// until the window is closed.
//
//   kestrel-demo [--latency MS] [--round tour|sweep|sinr|hilink] [--tone] [--history]
//                [--full-screen] [--record FILE] [--screenshot FILE [--after SECONDS]]
//
// With --screenshot the window (and the history and full-screen view when open) is saved after
// SECONDS (default 4) and the demo ends.
#include "kestrel/Form2.h"
#include "kestrel/HistoryWindow.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/demo/DemoScript.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/cli/CommandLine.h"
#include "platform/sound/AudioSinkOutput.h"
#include "tools/modemsim/ScenarioPlayer.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

namespace
{

void say(const QString& text)
{
    std::printf("%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

void apply(SimulatedMonitor& monitor, const std::vector<DemoStep>& steps, double seconds)
{
    for (const DemoStep& step : steps) {
        const QString problem = monitor.apply(step.action);
        if (!problem.isEmpty()) {
            say(QStringLiteral("kestrel-demo: %1").arg(problem));
        }
        if (!step.what.isEmpty()) {
            say(QStringLiteral("%1 s  %2").arg(seconds, 6, 'f', 1).arg(step.what));
        }
    }
}

bool saveScreenshot(QWidget& window, const QString& file)
{
    if (!window.grab().save(file)) {
        say(QStringLiteral("kestrel-demo: cannot save the screenshot to %1").arg(file));
        return false;
    }
    say(QStringLiteral("kestrel-demo: screenshot of %1 saved to %2")
            .arg(window.windowTitle(), QFileInfo(file).absoluteFilePath()));
    return true;
}

// Saves the main window to `file`, and the history and full-screen view when open beside it
// ("name-history.png", "name-full-screen.png"), then ends the demo; the exit code tells whether
// every file was written.
void saveScreenshots(Form1& window, const QString& file)
{
    const QFileInfo info(file);
    const auto beside = [&info](const char* what) {
        return info.dir().filePath(info.completeBaseName() + QLatin1Char('-') +
                                   QLatin1String(what) + QLatin1Char('.') + info.suffix());
    };
    bool saved = saveScreenshot(window, file);
    if (HistoryWindow* history = window.historyWindow()) {
        saved = saveScreenshot(*history, beside("history")) && saved;
    }
    if (Form2* view = window.fullScreenView()) {
        saved = saveScreenshot(*view, beside("full-screen")) && saved;
    }
    QCoreApplication::exit(saved ? 0 : 1);
}

void openAimingAids(SimulatedMonitor& monitor, bool tone, bool history, bool fullScreen,
                    const QString& record)
{
    Form1& window = monitor.window();
    if (tone) {
        window.MnuTone->trigger();
    }
    if (history) {
        window.MnuHistory->trigger();
    }
    if (fullScreen) {
        window.Command1_Click();
    }
    if (!record.isEmpty()) {
        monitor.fileDialog().nextChoices = {record};
        window.MnuRecord->trigger();
        say(QStringLiteral("kestrel-demo: recording readings to %1").arg(record));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("kestrel-demo"));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("The kestrel signal monitor polling a simulated Huawei 3G or 4G stick."));
    const QCommandLineOption latency =
        commandLineOption("latency", "The stick's reply latency (default 15).", "ms", "15");
    const QCommandLineOption screenshot = commandLineOption(
        "screenshot", "Save the window to <file> after a few cycles, then end.", "file");
    const QCommandLineOption after =
        commandLineOption("after", "Seconds before the screenshot (default 4).", "seconds", "4");
    const QCommandLineOption round = commandLineOption(
        "round",
        "The stick's round of states: tour (default), sweep (an antenna being turned), sinr "
        "(the same on a 4G stick, aimed by SINR) or hilink (a stick without AT port, read over "
        "its web API on 127.0.0.1).",
        "name", "tour");
    const QCommandLineOption tone =
        commandLineOption("tone", "Switch the aiming tone on at start.");
    const QCommandLineOption history =
        commandLineOption("history", "Open the signal history at start.");
    const QCommandLineOption fullScreen =
        commandLineOption("full-screen", "Open the full-screen view at start.");
    const QCommandLineOption record =
        commandLineOption("record", "Record the readings to <file> (CSV).", "file");
    options.addOptions({latency, screenshot, after, round, tone, history, fullScreen, record});
    if (const std::optional<int> status = readCommandLineFirst(argc, argv, options))
        return *status;
    const QString roundName = options.value(round);
    if (!QStringList{"tour", "sweep", "sinr", "hilink"}.contains(roundName)) {
        say(QStringLiteral("kestrel-demo: --round takes tour, sweep, sinr or hilink"));
        return 2;
    }

    bool latencyOk = false;
    bool afterOk = false;
    const int latencyMs = options.value(latency).toInt(&latencyOk);
    const double afterSeconds = options.value(after).toDouble(&afterOk);
    if (!latencyOk || latencyMs < 0 || !afterOk || afterSeconds < 0) {
        say(QStringLiteral("kestrel-demo: --latency and --after take a number of ms / seconds"));
        return 2;
    }

    QApplication app(argc, argv);
    SimulatedMonitor monitor;
    AudioSinkOutput toneOutput;
    monitor.setToneOutput(&toneOutput);
    // As in the program, the core polls the stick in a thread of its own.
    monitor.setOwnThread(true);
    monitor.setHilink(roundName == QLatin1String("hilink"));
    modemsim::ModemSimulator& simulator = monitor.simulator();
    simulator.setLatency(std::chrono::milliseconds{latencyMs});
    simulator.setCopsLatency(std::chrono::milliseconds{latencyMs});
    if (!monitor.start()) {
        say(QStringLiteral("kestrel-demo: the simulated stick did not start: %1")
                .arg(monitor.errorString()));
        return 1;
    }
    if (roundName == QLatin1String("hilink")) {
        say(QStringLiteral("kestrel-demo: simulated HiLink stick: %1")
                .arg(monitor.hilinkBoxText()));
    } else {
        say(QStringLiteral("kestrel-demo: simulated stick on %1 (%2), port %3")
                .arg(monitor.portPath(SimulatedMonitor::kPortNumber), simulator.secondaryPath())
                .arg(SimulatedMonitor::kPortNumber));
    }
    QElapsedTimer clock;
    clock.start();
    // The first cycle comes with Timer1's first tick, after the opening state is in place.
    const DemoScript script =
        roundName == QLatin1String("sweep")    ? DemoScript(sweepRound(), kSweepRoundLength)
        : roundName == QLatin1String("sinr")   ? DemoScript(sinrSweepRound(), kSinrSweepRoundLength)
        : roundName == QLatin1String("hilink") ? DemoScript(hilinkRound(), kHilinkRoundLength)
                                               : DemoScript(demoRound(), kDemoRoundLength);
    apply(monitor, script.opening(), 0.0);

    Form1& window = monitor.window();
    // The title tells where the monitor stands with its stick; an offscreen run has no title
    // bar to show it, so it is printed as it changes.
    say(QStringLiteral("title: %1").arg(window.windowTitle()));
    QObject::connect(&window, &QWidget::windowTitleChanged, [&clock](const QString& title) {
        say(QStringLiteral("%1 s  title: %2").arg(clock.elapsed() / 1000.0, 6, 'f', 1).arg(title));
    });
    window.show();
    if (roundName == QLatin1String("sinr")) {
        window.aimingAids().choose(AimMeasure::Sinr); // not remembered as the user's choice
    }
    openAimingAids(monitor, options.isSet(tone), options.isSet(history), options.isSet(fullScreen),
                   options.value(record));

    // The round's steps are played from the window's own loop, while the core polls.
    std::chrono::milliseconds played{0};
    QTimer stepper;
    QObject::connect(&stepper, &QTimer::timeout, [&] {
        const std::chrono::milliseconds now{clock.elapsed()};
        apply(monitor, script.due(played, now), now.count() / 1000.0);
        played = now;
    });
    stepper.start(100);

    if (options.isSet(screenshot)) {
        const QString file = options.value(screenshot);
        QTimer::singleShot(static_cast<int>(afterSeconds * 1000), &window,
                           [&window, file] { saveScreenshots(window, file); });
    }
    return app.exec();
}
