// Measures what the full-screen view costs: the main window and Form2 open offscreen, the
// level on show changing now and then, and the process's CPU time over a stretch of wall time.
//
//   fullscreen_bench [--seconds N] [--change-ms M] [--size S] [--no-view] [--grab out.png]
//                    [--modem path/to/modemsim] [--aids]
//
// --aids switches the aiming tone on (on the real audio output, where there is one) and opens
// the signal history, as someone aiming an antenna has them.
//
// The level changes by readings handed to the window as the core sends them, or, with --modem,
// in the modem simulator (run as its own process, so its CPU time is not counted), which the
// window then polls over a real pseudo-terminal. With --grab it saves a picture of the view
// showing a 3G reading and measures nothing.
//
// Prints one line of key=value figures: cpu_percent is of one core; form2_paints counts paint
// events of the view's window and labels; ticks counts the view's 10 ms timer; at_commands
// counts the commands the simulator received (0 while the window does not poll).
#include "kestrel/Form1.h"
#include "kestrel/Form2.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/monitor/MonitorCore.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/sound/AudioSinkOutput.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "platform/window/Offscreen.h"
#include "platform/window/WindowHelpers.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace
{

struct Options {
    int seconds = 10;
    int changeMs = 2000;
    int size = 250;
    bool view = true;
    QString grab;
    QString modem;
    bool aids = false;
};

Options parse(const QStringList& arguments)
{
    Options options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const auto next = [&] { return i + 1 < arguments.size() ? arguments[++i].toInt() : 0; };
        if (a == QLatin1String("--seconds")) {
            options.seconds = next();
        } else if (a == QLatin1String("--change-ms")) {
            options.changeMs = next();
        } else if (a == QLatin1String("--size")) {
            options.size = next();
        } else if (a == QLatin1String("--no-view")) {
            options.view = false;
        } else if (a == QLatin1String("--grab") && i + 1 < arguments.size()) {
            options.grab = arguments[++i];
        } else if (a == QLatin1String("--aids")) {
            options.aids = true;
        } else if (a == QLatin1String("--modem") && i + 1 < arguments.size()) {
            options.modem = arguments[++i];
        }
    }
    return options;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class PaintCounter : public QObject
{
public:
    long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A reading whose level moves: the operator line, its colour, the bar and LevelDbm.
// Alternates between two readings so that every change is a real one.
void showReading(Form1& window, int step)
{
    const bool threeG = step % 2 == 0;
    const int index = threeG ? 20 : 14;
    MonitorReading reading;
    reading.operatorNamed = reading.operatorKnown = true;
    reading.operatorName = QStringLiteral("MegaFon");
    reading.generation = reading.operatorGeneration =
        threeG ? at::Generation::G3 : at::Generation::G2;
    reading.barValue = index;
    reading.levelDbm = -113 + 2 * index;
    window.showReading(reading);
}

// The modem simulator program, told its signal index through scenario lines on its input.
class Simulator
{
public:
    ~Simulator()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.write("quit\n");
            if (!process_.waitForFinished(3000)) {
                process_.kill();
                process_.waitForFinished();
            }
        }
    }

    // The port path the simulator serves, or empty when it did not start.
    QString start(const QString& program)
    {
        process_.start(program, {QStringLiteral("--log"), logPath()});
        if (!process_.waitForReadyRead(5000)) {
            return {};
        }
        return QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    void setRssi(int index) { process_.write(QStringLiteral("rssi %1\n").arg(index).toLatin1()); }

    long commandsReceived() const
    {
        QFile log(logPath());
        return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
    }

private:
    QString logPath() const { return folder_.filePath(QStringLiteral("modemsim.log")); }

    QTemporaryDir folder_;
    QProcess process_;
};

} // namespace

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    const Options options = parse(QApplication::arguments());

    Simulator simulator;
    QString modemPath;
    if (!options.modem.isEmpty()) {
        modemPath = simulator.start(options.modem);
        if (modemPath.isEmpty()) {
            std::fprintf(stderr, "fullscreen_bench: %s did not start\n", qPrintable(options.modem));
            return 1;
        }
    }
    FakeCommControl noPort;
    SerialCommControl modemPort([&modemPath](qint16) { return modemPath; });
    FakeDeviceInventory inventory;
    if (!modemPath.isEmpty()) {
        inventory.list = QList<DeviceEntry>{
            {huaweiPcUiDescription, huaweiPcUiDescription + QStringLiteral(" (USB1)")}};
    }
    FakeSoundPlayer soundPlayer;
    FakeFileDialog fileDialog;
    AudioSinkOutput toneOutput;
    MonitorCore core(
        {modemPath.isEmpty() ? static_cast<CommControl&>(noPort) : modemPort, inventory});
    Form1 window(core, {soundPlayer, fileDialog, QString(), &toneOutput});
    window.Form_Load();
    window.show();
    if (options.aids) {
        window.MnuTone->trigger();
        window.MnuHistory->trigger();
    }

    PaintCounter counter;
    long ticks = 0;
    if (options.view) {
        window.Command1->click();
        Form2* view = window.fullScreenView();
        view->Slider1->setValue(options.size);
        for (QWidget* widget : {static_cast<QWidget*>(view), static_cast<QWidget*>(view->Label1),
                                static_cast<QWidget*>(view->Label2)}) {
            widget->installEventFilter(&counter);
        }
        QObject::connect(view->Timer1, &QTimer::timeout, [&] { ++ticks; });
    }

    int changes = 0;
    const auto change = [&] {
        if (modemPath.isEmpty()) {
            showReading(window, changes);
        } else {
            simulator.setRssi(changes % 2 == 0 ? 20 : 14);
        }
    };
    change();
    QTimer polling;
    polling.setInterval(options.changeMs);
    QObject::connect(&polling, &QTimer::timeout, [&] {
        ++changes;
        change();
    });

    // Settle the first frame before measuring.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    if (!options.grab.isEmpty()) {
        const bool saved =
            window.fullScreenView() && window.fullScreenView()->grab().save(options.grab);
        std::printf("%s\n", saved ? qPrintable(options.grab) : "no picture saved");
        return saved ? 0 : 1;
    }
    counter.paints = 0;
    ticks = 0;
    changes = 0;

    polling.start();
    const long commandsBefore = simulator.commandsReceived();
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(options.seconds * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    app.exec();
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuStart;

    std::printf("source=%s view=%s aids=%s size=%d seconds=%.1f change_ms=%d level_changes=%d "
                "ticks=%ld form2_paints=%ld at_commands=%ld cpu_percent=%.2f\n",
                modemPath.isEmpty() ? "writes" : "modemsim", options.view ? "open" : "closed",
                options.aids ? "on" : "off", options.size, wallSeconds, options.changeMs, changes,
                ticks, counter.paints, simulator.commandsReceived() - commandsBefore,
                100.0 * cpu / wallSeconds);
    return 0;
}
