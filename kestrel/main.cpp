#include "kestrel/Form1.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/SysfsDeviceInventory.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel"));

    SerialCommControl serialPort;
    SysfsDeviceInventory inventory(QStringLiteral("/sys"));
    FakeSoundPlayer soundPlayer; // replaced when the real player/dialog land
    FakeFileDialog fileDialog;   // replaced when the real player/dialog land

    Form1 window(
        {serialPort, inventory, soundPlayer, fileDialog, QCoreApplication::applicationDirPath()});
    window.Form_Load();
    window.show();
    return app.exec();
}
