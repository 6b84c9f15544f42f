#include "kestrel/Form1.h"
#include "kestrel/monitor/MonitorCore.h"
#include "kestrel/serial/PortText.h"
#include "platform/cli/CommandLine.h"
#include "platform/filedialog/QtFileDialog.h"
#include "platform/hotplug/UdevDeviceWatch.h"
#include "platform/inventory/SysfsDeviceInventory.h"
#include "platform/message/BoxMessageSink.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/sound/AudioSinkOutput.h"
#include "platform/sound/MediaSoundPlayer.h"

#include <QApplication>
#include <QComboBox>
#include <QThread>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("kestrel"));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Shows the signal, operator and cell of a Huawei USB modem."));
    const QCommandLineOption port = commandLineOption(
        "port",
        "Open this port instead of looking for the stick: a number N for /dev/ttyUSB<N>, or a "
        "device path (the /dev/pts/N that modemsim prints, a /dev/serial/by-id/... link).",
        "port");
    options.addOption(port);
    const QCommandLineOption hilink = commandLineOption(
        "hilink",
        "Read the HiLink stick (a stick without AT port, with a web interface) at this address, "
        "such as http://192.168.8.1, or the http://127.0.0.1:PORT that modemsim --hilink prints.",
        "url");
    options.addOption(hilink);
    if (const std::optional<int> status = readCommandLineFirst(argc, argv, options))
        return *status;
    std::optional<QString> hilinkAddress;
    if (options.isSet(hilink)) {
        hilinkAddress = hilinkAddressFromUrl(options.value(hilink));
        if (!hilinkAddress) {
            std::fprintf(stderr,
                         "kestrel: --hilink wants an http address such as "
                         "http://192.168.8.1, not \"%s\"\n",
                         qPrintable(options.value(hilink)));
            return 2;
        }
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrelplover.kestrel"));

    // The platform pieces outlive the core and the window that use them. "Save id" asks and
    // reports through message boxes over the window.
    SerialCommControl serialPort;
    SysfsDeviceInventory inventory(QStringLiteral("/sys"));
    MediaSoundPlayer soundPlayer;
    QtFileDialog fileDialog;
    UdevDeviceWatch deviceWatch;
    AudioSinkOutput toneOutput;
    BoxMessageSink messages;

    // The core polls the stick in a thread of its own, so the window never waits for it.
    MonitorCore core({serialPort, inventory, &deviceWatch});
    QThread coreThread;
    coreThread.setObjectName(QStringLiteral("monitor core"));
    Form1 window(core, {soundPlayer, fileDialog, QCoreApplication::applicationDirPath(),
                        &toneOutput, &messages});
    fileDialog.setOwner(&window);
    messages.setOwner(&window);
    core.runIn(coreThread);
    window.Form_Load();
    if (options.isSet(port)) {
        // As if typed into the port box with Return.
        window.Combo1->setEditText(options.value(port));
        window.Combo1_Return();
    }
    if (hilinkAddress) {
        window.Combo1->setEditText(hilinkBoxText(*hilinkAddress));
        window.Combo1_Return();
    }
    window.show();
    const int status = app.exec();
    // Closing the window ends the core; any other end of the event loop must too.
    core.finish();
    return status;
}
