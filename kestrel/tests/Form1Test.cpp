// Form1 finding and opening its stick's port at start, retrying, switching ports and unloading,
// over a scripted port and a device list the test writes.
#include "kestrel/Form1.h"

#include "kestrel/tests/ListPick.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tests/support/TestApp.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace
{

QString pcUiCaption(int port)
{
    return huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(port);
}

class Form1Test : public testing::Test, WithApplication
{
protected:
    Form1& loadedWith(const std::optional<QList<DeviceEntry>>& devices)
    {
        inventory.list = devices;
        window = std::make_unique<Form1>(
            MonitorPlatform{port, inventory, sound, dialog, QStringLiteral("/opt/kestrel")});
        window->Form_Load();
        return *window;
    }

    FakeCommControl port;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    std::unique_ptr<Form1> window;
};

// Only the first device whose description matches exactly is opened.
TEST_F(Form1Test, LoadOpensTheFirstModemsPortAndStartsPolling)
{
    Form1& f = loadedWith({{{QStringLiteral("Standard Serial"), QStringLiteral("Standard (COM1)")},
                            {huaweiPcUiDescription, pcUiCaption(3)},
                            {huaweiPcUiDescription, pcUiCaption(5)}}});
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_EQ(port.openCount, 1);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_FALSE(f.TimerPause->isActive());
    EXPECT_TRUE(f.Timer3->isActive());
    EXPECT_EQ(f.Combo1->currentText(), pcUiCaption(3));
    ASSERT_EQ(f.Combo1->count(), 28);
    EXPECT_EQ(f.Combo1->itemText(27), pcUiCaption(3));
    EXPECT_TRUE(f.Combo1->toolTip().isEmpty());
}

TEST_F(Form1Test, NoExactMatchOpensNothingButStartsTheVoiceTimer)
{
    const struct {
        const char* name;
        std::optional<QList<DeviceEntry>> devices;
    } rows[] = {
        {"DifferentCase",
         QList<DeviceEntry>{{huaweiPcUiDescription.toLower(), pcUiCaption(3).toLower()}}},
        {"DifferentSpacing",
         QList<DeviceEntry>{
             {QStringLiteral("HUAWEI Mobile Connect -  3G PC UI Interface"), pcUiCaption(3)}}},
        {"UnreadableInventory", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Form1& f = loadedWith(row.devices);
        EXPECT_FALSE(port.PortOpen());
        EXPECT_TRUE(f.Combo1->currentText().isEmpty());
        EXPECT_EQ(f.Combo1->count(), 27);
        EXPECT_FALSE(f.Timer1->isActive());
        EXPECT_FALSE(f.TimerPause->isActive());
        EXPECT_TRUE(f.Timer3->isActive());
    }
}

TEST_F(Form1Test, AFailedOpeningRetriesOnTheThirdTickWithTheBoxsCurrentText)
{
    port.failingPorts = {3};
    Form1& f = loadedWith({{{huaweiPcUiDescription, pcUiCaption(3)}}});
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(f.TimerPause->isActive());
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_EQ(f.Combo1->toolTip(), QStringLiteral("cannot open port"));

    f.Combo1->setEditText(QStringLiteral("5"));
    f.TimerPause_Timer();
    f.TimerPause_Timer();
    EXPECT_FALSE(port.PortOpen());
    f.TimerPause_Timer();
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 5);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_FALSE(f.TimerPause->isActive());
    EXPECT_TRUE(f.Combo1->toolTip().isEmpty());
}

TEST_F(Form1Test, PickingAPortClosesTheOpenOneFirst)
{
    Form1& f = loadedWith({{{huaweiPcUiDescription, pcUiCaption(3)}}});
    pickFromList(f.Combo1, 5);
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 5);
    pickFromList(f.Combo1, 27);
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_EQ(port.openCount, 3);
}

TEST_F(Form1Test, AFailedOpeningWhilePollingKeepsThePortAndPolling)
{
    Form1& f = loadedWith({{{huaweiPcUiDescription, pcUiCaption(3)}}});
    f.Combo1->setEditText(QStringLiteral("hu"));
    f.Command2->click();
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_TRUE(f.TimerPause->isActive());
    EXPECT_EQ(f.Combo1->toolTip(), QStringLiteral("\"hu\" is not a port number"));
}

TEST_F(Form1Test, UnloadStopsEveryTimerAndClosesThePort)
{
    Form1& f = loadedWith({{{huaweiPcUiDescription, pcUiCaption(3)}}});
    f.Form_Unload();
    EXPECT_FALSE(port.PortOpen());
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_FALSE(f.Timer3->isActive());
    EXPECT_FALSE(f.TimerPause->isActive());
}

} // namespace
