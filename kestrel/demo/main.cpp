// kestrel-demo: the monitor's main window polling a simulated stick that runs in this process
// on a pseudo-terminal, through a round of states (3G and 2G, levels rising and falling, a cell
// change, no operator, the stick pulled out and plugged in again as another port) that repeats
// until the window is closed.
//
//   kestrel-demo [--latency MS] [--screenshot FILE [--after SECONDS]]
//
// With --screenshot the window is saved to FILE after SECONDS (default 4) and the demo ends.
#include "kestrel/demo/DemoScript.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/cli/CommandLine.h"
#include "tools/modemsim/ScenarioPlayer.h"

#include <QApplication>
#include <QCommandLineParser>
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

// Saves the window and ends the demo; the exit code tells whether the file was written.
void saveScreenshot(QWidget& window, const QString& file)
{
    if (window.grab().save(file)) {
        say(QStringLiteral("kestrel-demo: screenshot of the window saved to %1")
                .arg(QFileInfo(file).absoluteFilePath()));
        QCoreApplication::exit(0);
    } else {
        say(QStringLiteral("kestrel-demo: cannot save the screenshot to %1").arg(file));
        QCoreApplication::exit(1);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel-demo"));

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("The kestrel signal monitor polling a simulated Huawei 3G stick."));
    const QCommandLineOption latency(QStringLiteral("latency"),
                                     QStringLiteral("The stick's reply latency (default 15)."),
                                     QStringLiteral("ms"), QStringLiteral("15"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save the window to <file> after a few cycles, then end."),
        QStringLiteral("file"));
    const QCommandLineOption after(QStringLiteral("after"),
                                   QStringLiteral("Seconds before the screenshot (default 4)."),
                                   QStringLiteral("seconds"), QStringLiteral("4"));
    options.addOptions({latency, screenshot, after});
    if (const std::optional<int> status = readCommandLine(options, app.arguments()))
        return *status;

    bool latencyOk = false;
    bool afterOk = false;
    const int latencyMs = options.value(latency).toInt(&latencyOk);
    const double afterSeconds = options.value(after).toDouble(&afterOk);
    if (!latencyOk || latencyMs < 0 || !afterOk || afterSeconds < 0) {
        say(QStringLiteral("kestrel-demo: --latency and --after take a number of ms / seconds"));
        return 2;
    }

    SimulatedMonitor monitor;
    modemsim::ModemSimulator& simulator = monitor.simulator();
    simulator.setLatency(std::chrono::milliseconds{latencyMs});
    simulator.setCopsLatency(std::chrono::milliseconds{latencyMs});
    if (!monitor.start()) {
        say(QStringLiteral("kestrel-demo: the simulated stick did not start: %1")
                .arg(monitor.errorString()));
        return 1;
    }
    say(QStringLiteral("kestrel-demo: simulated stick on %1 (%2), port %3")
            .arg(monitor.portPath(SimulatedMonitor::kPortNumber), simulator.secondaryPath())
            .arg(SimulatedMonitor::kPortNumber));
    QElapsedTimer clock;
    clock.start();
    // The first cycle comes with Timer1's first tick, after the opening state is in place.
    const DemoScript script(demoRound(), kDemoRoundLength);
    apply(monitor, script.opening(), 0.0);

    Form1& window = monitor.window();
    // The title tells where the monitor stands with its stick; an offscreen run has no title
    // bar to show it, so it is printed as it changes.
    say(QStringLiteral("title: %1").arg(window.windowTitle()));
    QObject::connect(&window, &QWidget::windowTitleChanged, [&clock](const QString& title) {
        say(QStringLiteral("%1 s  title: %2").arg(clock.elapsed() / 1000.0, 6, 'f', 1).arg(title));
    });
    window.show();

    // The round's steps are played from the window's own loop; a polling cycle that holds the
    // loop only delays a step by that cycle.
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
                           [&window, file] { saveScreenshot(window, file); });
    }
    return app.exec();
}
