#include "kestrel/Form1.h"

#include "kestrel/tests/ListPick.h"
#include "kestrel/tests/TestApplication.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/serial/tests/PseudoTerminal.h"
#include "platform/sound/FakeSoundPlayer.h"

#include <QComboBox>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace
{

QString pcUiCaption(int port)
{
    return huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(port);
}

// The window with the real serial port control, whose port numbers lead to pseudo-terminals
// that the test plays as modems (3 and 5), and a device list the test writes.
class Form1Test : public testing::Test, WithApplication
{
protected:
    Form1Test()
        : serial([this](qint16 number) {
              return number < 0
                         ? QString()
                         : paths.value(number,
                                       missing.filePath(QStringLiteral("ttyUSB%1").arg(number)));
          })
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(modem3.valid() && modem5.valid() && missing.isValid());
        paths[3] = modem3.path();
        paths[5] = modem5.path();
    }

    Form1& form()
    {
        if (!window) {
            window = std::make_unique<Form1>(
                MonitorPlatform{serial, inventory, sound, dialog, QStringLiteral("/opt/kestrel")});
        }
        return *window;
    }

    Form1& loadedWith(const QList<DeviceEntry>& devices)
    {
        inventory.list = devices;
        form().Form_Load();
        return form();
    }

    // True when nothing holds the device: another program can open it.
    static bool freeToOpen(const QString& path)
    {
        SerialCommControl other([path](qint16) { return path; });
        return other.setPortOpen(true);
    }

    PseudoTerminal modem3;
    PseudoTerminal modem5;
    QTemporaryDir missing;
    QMap<qint16, QString> paths;
    SerialCommControl serial;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    std::unique_ptr<Form1> window;
};

TEST_F(Form1Test, LoadOpensTheModemsPortAndStartsPolling)
{
    Form1& f = loadedWith({{QStringLiteral("Standard Serial"), QStringLiteral("Standard (COM1)")},
                           {huaweiPcUiDescription, pcUiCaption(3)}});
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.CommPort(), 3);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_FALSE(f.TimerPause->isActive());
    EXPECT_TRUE(f.Timer3->isActive());
    EXPECT_EQ(f.Combo1->currentText(), pcUiCaption(3));
    ASSERT_EQ(f.Combo1->count(), 28);
    EXPECT_EQ(f.Combo1->itemText(27), pcUiCaption(3));
    EXPECT_TRUE(f.Combo1->toolTip().isEmpty());

    // The window talks to the device the caption named.
    ASSERT_TRUE(serial.setOutput(QStringLiteral("AT+CSQ\r")));
    EXPECT_EQ(modem3.receive(7), QByteArray("AT+CSQ\r"));
}

TEST_F(Form1Test, OnlyTheFirstMatchingDeviceIsUsed)
{
    Form1& f = loadedWith(
        {{huaweiPcUiDescription, pcUiCaption(3)}, {huaweiPcUiDescription, pcUiCaption(5)}});
    EXPECT_EQ(serial.CommPort(), 3);
    EXPECT_EQ(f.Combo1->count(), 28);
    EXPECT_TRUE(freeToOpen(modem5.path()));
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
        {"NoDevices", QList<DeviceEntry>{}},
        {"UnreadableInventory", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window.reset();
        inventory.list = row.devices;
        form().Form_Load();
        EXPECT_FALSE(serial.PortOpen());
        EXPECT_TRUE(form().Combo1->currentText().isEmpty());
        EXPECT_EQ(form().Combo1->count(), 27);
        EXPECT_FALSE(form().Timer1->isActive());
        EXPECT_FALSE(form().TimerPause->isActive());
        EXPECT_TRUE(form().Timer3->isActive());
    }
}

TEST_F(Form1Test, AFailedOpeningRetriesOnTheThirdTickWithTheBoxsCurrentText)
{
    paths.remove(3);
    Form1& f = loadedWith({{huaweiPcUiDescription, pcUiCaption(3)}});
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_TRUE(f.TimerPause->isActive());
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_TRUE(f.Timer3->isActive());
    EXPECT_TRUE(f.Combo1->toolTip().startsWith(QStringLiteral("No such device:")))
        << f.Combo1->toolTip().toStdString();

    f.Combo1->setEditText(QStringLiteral("5"));
    f.TimerPause_Timer();
    f.TimerPause_Timer();
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_EQ(serial.CommPort(), 3);

    f.TimerPause_Timer();
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.CommPort(), 5);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_FALSE(f.TimerPause->isActive());
    EXPECT_TRUE(f.Combo1->toolTip().isEmpty());
}

TEST_F(Form1Test, PickingFiveClosesThePortAndOpensPortFive)
{
    Form1& f = loadedWith({{huaweiPcUiDescription, pcUiCaption(3)}});
    ASSERT_EQ(serial.CommPort(), 3);

    pickFromList(f.Combo1, 5);
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.CommPort(), 5);
    EXPECT_TRUE(freeToOpen(modem3.path()));
    EXPECT_FALSE(freeToOpen(modem5.path()));

    // Picking the modem's caption reopens the modem's port.
    pickFromList(f.Combo1, 27);
    EXPECT_EQ(serial.CommPort(), 3);
    EXPECT_TRUE(freeToOpen(modem5.path()));
}

TEST_F(Form1Test, AnotherProgramHoldingThePortMakesTheOpeningFail)
{
    SerialCommControl holder([this](qint16) { return modem3.path(); });
    ASSERT_TRUE(holder.setPortOpen(true));

    Form1& f = loadedWith({{huaweiPcUiDescription, pcUiCaption(3)}});
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_TRUE(f.TimerPause->isActive());
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_TRUE(f.Combo1->toolTip().contains(QStringLiteral("in use by another program")))
        << f.Combo1->toolTip().toStdString();
}

TEST_F(Form1Test, AFailedOpeningWhilePollingKeepsThePortAndPolling)
{
    Form1& f = loadedWith({{huaweiPcUiDescription, pcUiCaption(3)}});
    f.Combo1->setEditText(QStringLiteral("hu"));
    f.Command2->click();
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.CommPort(), 3);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_TRUE(f.TimerPause->isActive());
    EXPECT_EQ(f.Combo1->toolTip(), QStringLiteral("\"hu\" is not a port number"));
}

TEST_F(Form1Test, ACaptionThatCannotBeCutChangesNothing)
{
    paths.remove(3);
    Form1& f = loadedWith({{huaweiPcUiDescription, pcUiCaption(3)}});
    paths[3] = modem3.path();
    f.Combo1->setEditText(QStringLiteral("HUAWEI (USB"));
    f.RUNS();
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_TRUE(f.TimerPause->isActive());
    EXPECT_FALSE(f.Timer1->isActive());
}

TEST_F(Form1Test, UnloadStopsEveryTimerAndClosesThePort)
{
    Form1& f = loadedWith({{huaweiPcUiDescription, pcUiCaption(3)}});
    ASSERT_TRUE(serial.PortOpen());
    f.Form_Unload();
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_FALSE(f.Timer3->isActive());
    EXPECT_FALSE(f.TimerPause->isActive());
    EXPECT_TRUE(freeToOpen(modem3.path()));
}

} // namespace
