#include "kestrel/Form1.h"
#include "platform/filedialog/QtFileDialog.h"
#include "platform/hotplug/UdevDeviceWatch.h"
#include "platform/inventory/SysfsDeviceInventory.h"
#include "platform/message/BoxMessageSink.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/sound/AudioSinkOutput.h"
#include "platform/sound/MediaSoundPlayer.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel"));

    // The platform pieces outlive the window that uses them.
    SerialCommControl serialPort;
    SysfsDeviceInventory inventory(QStringLiteral("/sys"));
    MediaSoundPlayer soundPlayer;
    QtFileDialog fileDialog;
    UdevDeviceWatch deviceWatch;
    AudioSinkOutput toneOutput;
    BoxMessageSink messages;

    Form1 window({serialPort, inventory, soundPlayer, fileDialog,
                  QCoreApplication::applicationDirPath(), &deviceWatch, &toneOutput, &messages});
    fileDialog.setOwner(&window);
    messages.setOwner(&window);
    window.Form_Load();
    window.show();
    return app.exec();
}
