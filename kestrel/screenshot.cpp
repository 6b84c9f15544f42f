// Renders the monitor's main window offscreen to a PNG, for comparing with the window's design.
//
//   kestrel-screenshot [--sample] [out.png]
//
// Without --sample the window is shown as after start-up with a modem found on port 2; with it,
// the display fields hold a typical 3G reading.
#include "kestrel/Form1.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "platform/window/Offscreen.h"
#include "platform/window/WindowHelpers.h"

#include <QApplication>
#include <QLabel>

namespace
{

void showSampleReading(Form1& window)
{
    const QColor blue(0, 0, 255);
    window.LblCOPS->setText(QStringLiteral("MegaFon (3G)"));
    setTextColour(window.LblCOPS, blue);
    window.LblCSQ->setText(QStringLiteral("  -73db"));
    window.LblMCC->setText(QStringLiteral("250"));
    window.LblMNC->setText(QStringLiteral("02"));
    window.LblLAC->setText(QStringLiteral("7812"));
    window.LblCellID->setText(QStringLiteral("20512345"));
    window.ProgressBar1->setBarColorStart(blue);
    window.ProgressBar1->setBarColorEnd(blue);
    window.ProgressBar1->setValue(20);
}

} // namespace

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);

    bool sample = false;
    QString output = QStringLiteral("kestrel-window.png");
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (argument == QLatin1String("--sample")) {
            sample = true;
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

    Form1 window(
        {serialPort, inventory, soundPlayer, fileDialog, QCoreApplication::applicationDirPath()});
    window.Form_Load();
    if (sample) {
        showSampleReading(window);
    }
    window.show();
    return saveScreenshot(window, output, "kestrel-screenshot");
}
