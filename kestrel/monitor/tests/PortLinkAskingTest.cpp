// The link on a Huawei stick whose interfaces name no PC UI port: the real device list over a
// fake sysfs tree, the real serial port, pseudo-terminals as the stick's ttys.
#include "kestrel/monitor/PortLink.h"
#include "platform/inventory/FakeSysfs.h"
#include "platform/inventory/SysfsDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/serial/SerialCommControl.h"
#include "tests/support/CoreApp.h"
#include "tests/support/WaitUntil.h"
#include "tools/modemsim/ModemSimulator.h"
#include "tools/modemsim/PseudoTerminal.h"

#include <QMap>
#include <QProcess>
#include <gtest/gtest.h>

namespace
{

// ttyUSB<N> on interface N (of unknown role) for each N, played by the pseudo-terminal at its
// path.
struct Stick {
    explicit Stick(QMap<int, QString> ttyPaths) : paths(std::move(ttyPaths)) { plug(); }
    void plug()
    {
        device = sysfs.addDevice("1-2", "12d1", "1506", "HUAWEI Mobile");
        for (const int n : paths.keys())
            sysfs.addUsbSerialTty(device, {n, "03", "7e"}, QString("ttyUSB%1").arg(n));
    }
    void tick() { link.TimerWatch_Timer(); }

    QMap<int, QString> paths;
    FakeSysfs sysfs;
    QString device;
    SysfsDeviceInventory inventory{sysfs.root(), sysfs.routeFile()};
    SerialCommControl port{[this](qint16 n) { return paths.value(n); }};
    PortLink link{port, inventory, nullptr};
};

class PortLinkAsking : public testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(silent.open(&error) && held.open(&error) && modem.start());
        // Another program that holds its port without lock file or TIOCEXCL.
        holder.setStandardInputFile(held.secondaryPath());
        holder.start("sleep", {"60"});
        ASSERT_TRUE(holder.waitForStarted());
    }
    void TearDown() override
    {
        holder.kill();
        holder.waitForFinished();
    }

    CoreApp app;
    modemsim::PseudoTerminal silent, held;
    modemsim::ModemSimulator modem;
    QProcess holder;
};

// The held port, highest, is passed over; of a silent port and one that says OK, the higher is
// asked first.
TEST_F(PortLinkAsking, OpensThePortThatSaysOkAskingTheHighestInterfaceFirst)
{
    const struct {
        int silentAt, okAt;
        QByteArray silentHeard;
    } rows[] = {{2, 1, "AT\r"}, {1, 2, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.okAt);
        Stick stick({{row.silentAt, silent.secondaryPath()},
                     {row.okAt, modem.secondaryPath()},
                     {3, held.secondaryPath()}});
        QString shown;
        QObject::connect(&stick.link, &PortLink::stickShown, [&](const QString& c) { shown = c; });
        stick.link.findStick();
        stick.tick();
        ASSERT_TRUE(waitUntil([&] { return stick.link.status().link == Link::Open; }, 3000));
        EXPECT_EQ(stick.port.CommPort(), row.okAt);
        EXPECT_EQ(shown, huaweiPcUiDescription + QString(" (USB%1)").arg(row.okAt));
        EXPECT_EQ(silent.receive(3, 50), row.silentHeard);
        EXPECT_EQ(held.receive(3, 50), "");
    }
}

// Asked once its ttys stayed the same over a tick, once per plug-in, and again when plugged in
// anew between two ticks (the bus gives it a new address).
TEST_F(PortLinkAsking, AsksAStickOncePerPlugIn)
{
    Stick stick({{1, silent.secondaryPath()}});
    stick.tick();
    EXPECT_EQ(silent.receive(3, 50), "") << "seen for the first time";
    stick.tick();
    EXPECT_EQ(silent.receive(3), "AT\r");
    ASSERT_TRUE(waitUntil([&] { return !stick.port.PortOpen(); }));
    stick.tick();
    stick.tick();
    EXPECT_EQ(silent.receive(3, 50), "");
    stick.sysfs.unplug(stick.device);
    stick.plug();
    stick.tick();
    stick.tick();
    EXPECT_EQ(silent.receive(3), "AT\r");
}

} // namespace
