#pragma once

#include "kestrel/Form1.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/aiming/AimingTone.h"
#include "kestrel/monitor/MonitorCore.h"
#include "kestrel/monitor/PortLink.h"
#include "kestrel/monitor/tests/WholeCycle.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/hotplug/FakeDeviceWatch.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakePcmOutput.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tests/support/TestApp.h"

#include <QCheckBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// The stick's PC UI port in the device list, as port `number`.
inline QList<DeviceEntry> stickAs(int number)
{
    return {
        {huaweiPcUiDescription, huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(number)}};
}

// The main window and its monitor core over fakes of everything they talk to, the core in the
// test's thread; made on first use, so that a test can set the fakes up first. Public, so that
// the rows of a table can drive it.
class WindowFixture : public testing::Test, WithApplication
{
public:
    ~WindowFixture() override { LevelDbm() = std::nullopt; }

    Form1& form()
    {
        if (!window_) {
            core_ = std::make_unique<MonitorCore>(MonitorCore::Platform{port, inventory, &watch});
            window_ = std::make_unique<Form1>(
                *core_, WindowPlatform{sound, dialog, executableFolder, &toneOutput, &messages});
        }
        return *window_;
    }

    // A new window, started with `devices` in the device list.
    Form1& load(const std::optional<QList<DeviceEntry>>& devices)
    {
        inventory.list = devices;
        reset();
        form().Form_Load();
        return form();
    }

    // The next form() makes a new window and core.
    void reset()
    {
        window_.reset();
        core_.reset();
    }

    // One polling cycle over the given replies.
    void cycle(const QStringList& replies = kWholeCycle)
    {
        for (const QString& reply : replies) {
            port.scriptedReads.emplace_back(reply);
        }
        form().core().Timer1_Timer();
    }

    // What one tick of the voice timer asks of the player, with "LEVEL AS VOICE" ticked.
    QStringList voiceTick()
    {
        sound.calls.clear();
        form().Check2->setChecked(true);
        QMetaObject::invokeMethod(form().Timer3, "timeout");
        return sound.calls;
    }

    QString executableFolder = QStringLiteral("/opt/kestrel");
    FakeCommControl port;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    FakeDeviceWatch watch;
    FakePcmOutput toneOutput;
    FakeMessageSink messages;

protected:
    std::unique_ptr<MonitorCore> core_;
    std::unique_ptr<Form1> window_;
};
