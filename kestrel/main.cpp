#include "kestrel/Form1.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/SysfsDeviceInventory.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/sound/MediaSoundPlayer.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel"));

    SerialCommControl serialPort;
    SysfsDeviceInventory inventory(QStringLiteral("/sys"));
    MediaSoundPlayer soundPlayer;
    FakeFileDialog fileDialog; // cancels every save until the real dialog lands

    Form1 window(
        {serialPort, inventory, soundPlayer, fileDialog, QCoreApplication::applicationDirPath()});
    window.Form_Load();
    window.show();
    return app.exec();
}
