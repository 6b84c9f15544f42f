#include "platform/inventory/HilinkInterfaces.h"

#include "platform/inventory/FakeSysfs.h"
#include "platform/inventory/SysfsDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

namespace
{

const QString header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\n";
// usb0 on 192.0.2.0/24 (documentation addresses: parsed, never asked).
const QString usb0Subnet = "usb0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";

TEST(HilinkAddress, GatewayWithinTheInterfacesSubnetElseItsFirstAddress)
{
    const struct {
        const char* shows;
        QString routes;
        QString address;
    } rows[] = {
        {"gateway inside",
         usb0Subnet + "usb0\t00000000\tFE0200C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n",
         "192.0.2.254"},
        {"gateway outside",
         "usb0\t00000000\t0100000A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n" + usb0Subnet, "192.0.2.1"},
        {"no subnet", "usb0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n", ""},
        {"a host route only", "usb0\t0500000A\t00000000\t0005\t0\t0\t0\tFFFFFFFF\t0\t0\t0\n", ""},
        {"another interface's rows",
         "eth0\t0000000A\t00000000\t0001\t0\t0\t0\t000000FF\t0\t0\t0\n"
         "eth0\t00000000\t050200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n" +
             usb0Subnet,
         "192.0.2.1"},
        {"malformed lines",
         "usb0\t00000000\t640200C0\t0003\n"
         "usb0\t00000000\t650200C0\t0003\t0\t0\t0\tXYZ\t0\t0\t0\n"
         "usb0\t00000000\t660200C0\t00G3\t0\t0\t0\t00000000\t0\t0\t0\n" +
             usb0Subnet + "usb0 \n\n",
         "192.0.2.1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(hilinkAddress(header + row.routes, "usb0"), row.address);
    }
}

DeviceEntry hilinkEntry(const QString& ifname, const QString& address)
{
    return {
        "HUAWEI HiLink network interface (" + ifname + ")", "HiLink " + address, {}, -1, address};
}

// Each HiLink stick comes after the ttys with its own address; other network cards, sticks
// that have an AT port and an unreadable route table give none.
TEST(SysfsDeviceInventory, ListsHilinkSticksAfterTheTtys)
{
    const DeviceEntry pcUi{huaweiPcUiDescription, huaweiPcUiDescription + " (USB1)"};
    const struct {
        const char* shows;
        std::function<void(FakeSysfs&)> plug;
        QList<DeviceEntry> expected;
        bool routesReadable = true;
    } rows[] = {
        {"two sticks, one pulled",
         [](FakeSysfs& sysfs) {
             sysfs.plugHuaweiStick("1-1", 1);
             const QString pulled = sysfs.plugHilinkStick("1-2", "usb0", "192.0.2.1");
             sysfs.plugHilinkStick("1-3", "usb1", "198.51.100.1");
             sysfs.plugHilinkStick("1-4", "enx0c5b8f279a64", "192.0.2.1");
             sysfs.unplug(pulled);
         },
         {{huaweiModemDescription, huaweiModemDescription + " (USB0)"},
          pcUi,
          hilinkEntry("enx0c5b8f279a64", "192.0.2.1"),
          hilinkEntry("usb1", "198.51.100.1")}},
        {"not Huawei's",
         [](FakeSysfs& sysfs) {
             sysfs.write(sysfs.plugHilinkStick("1-2", "usb0") + "/idVendor", "0bda");
         },
         {}},
        {"with a PC UI port",
         [](FakeSysfs& sysfs) {
             sysfs.addUsbSerialTty(sysfs.plugHilinkStick("1-2", "usb0"), {2, "02", "02"},
                                   "ttyUSB1");
         },
         {pcUi}},
        {"route table unreadable",
         [](FakeSysfs& sysfs) {
             sysfs.plugHilinkStick("1-2", "usb0", "192.0.2.1");
             sysfs.plugHuaweiStick("1-3", 1);
         },
         {{huaweiModemDescription, huaweiModemDescription + " (USB0)"}, pcUi},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        FakeSysfs sysfs;
        row.plug(sysfs);
        const QString routes = row.routesReadable ? sysfs.routeFile() : sysfs.root() + "/none";
        EXPECT_EQ(SysfsDeviceInventory(sysfs.root(), routes).devices(), row.expected);
    }
}

} // namespace
