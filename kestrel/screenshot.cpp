// Renders the monitor's main window offscreen to a PNG, for a look at it without a display.
//
//   kestrel-screenshot [--sample | --sample-4g | --hilink URL] [out.png]
//
// Without a sample the window is shown as after start-up with a modem found on port 2; with
// one, the display fields hold a typical 3G reading, or a 5G NSA stick's reading. With a HiLink
// stick's address (modemsim --hilink's), the window shows what three seconds of polling it read.
#include "kestrel/Form1.h"
#include "kestrel/monitor/MonitorCore.h"
#include "kestrel/serial/PortText.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "platform/window/Offscreen.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>

namespace
{

void showSampleReading(Form1& window, bool lte)
{
    MonitorReading reading;
    reading.operatorNamed = true;
    reading.operatorName = QStringLiteral("MegaFon");
    reading.operatorGeneration = reading.generation = at::Generation::G3;
    reading.operatorKnown = true;
    reading.mcc = QStringLiteral("250");
    reading.mnc = QStringLiteral("02");
    reading.lac = QStringLiteral("7812");
    reading.cellId = QStringLiteral("20512345");
    reading.levelDbm = -73;
    reading.barValue = 20;
    if (lte) {
        reading.operatorGeneration = reading.generation = at::Generation::G4;
        reading.cellId = QStringLiteral("27447297");
        reading.quality.rsrpDbm = -96;
        reading.quality.sinrDb = 16.0;
        reading.quality.rsrqDb = -11.0;
        reading.quality.nrRsrpDbm = -64;
        reading.quality.nrSinrDb = 27.0;
        reading.quality.nrRsrqDb = -4.5;
        reading.band = 1;
        reading.earfcn = 425;
    }
    window.showReading(reading);
}

} // namespace

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);

    bool sample = false;
    bool lte = false;
    QString output = QStringLiteral("kestrel-window.png");
    QString hilink;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        const QString& argument = *it;
        if (argument == QLatin1String("--hilink") && std::next(it) != arguments.end()) {
            hilink = *++it;
        } else if (argument == QLatin1String("--sample")) {
            sample = true;
        } else if (argument == QLatin1String("--sample-4g")) {
            sample = lte = true;
        } else {
            output = argument;
        }
    }

    FakeCommControl serialPort;
    FakeDeviceInventory inventory;
    inventory.list = QList<DeviceEntry>{
        {huaweiPcUiDescription, huaweiPcUiDescription + QStringLiteral(" (USB2)")}};
    FakeSoundPlayer soundPlayer;
    FakeFileDialog fileDialog;

    MonitorCore core({serialPort, inventory});
    Form1 window(core, {soundPlayer, fileDialog, QCoreApplication::applicationDirPath()});
    window.Form_Load();
    if (sample) {
        showSampleReading(window, lte);
    }
    window.show();
    if (!hilink.isEmpty()) {
        window.Combo1->setEditText(hilinkBoxText(hilinkAddressFromUrl(hilink).value_or(hilink)));
        window.Combo1_Return();
        QEventLoop polling;
        QTimer::singleShot(3000, &polling, &QEventLoop::quit);
        polling.exec();
    }
    return saveScreenshot(window, output, "kestrel-screenshot");
}
