#include "kestrel/Form1.h"
#include "packaging/tests/IconCheck.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"

namespace
{

using KestrelWindowIcon = WithIconApplication;

TEST_F(KestrelWindowIcon, ShowsTheInstalledPictureAtEverySize)
{
    FakeCommControl port;
    FakeDeviceInventory inventory;
    FakeSoundPlayer player;
    FakeFileDialog dialog;
    const Form1 form{MonitorPlatform{port, inventory, player, dialog, QString()}};
    expectInstalledPicture(QStringLiteral("kestrel"), form.windowIcon());
}

} // namespace
