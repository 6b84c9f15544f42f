#include "platform/inventory/SysfsDeviceInventory.h"

#include "platform/inventory/FakeSysfs.h"
#include "platform/inventory/UsbTtyDescription.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace
{

QList<DeviceEntry> devicesOf(FakeSysfs& sysfs)
{
    SysfsDeviceInventory inventory(sysfs.root(), sysfs.routeFile());
    return inventory.devices().value_or(QList<DeviceEntry>{});
}

const FakeUsbInterface allFf0{0, "ff", "ff"}, allFf1{1, "ff", "ff"}, allFf2{2, "ff", "ff"},
    allFf3{3, "ff", "ff"};

TEST(SysfsDeviceInventory, FindsExactlyOnePcUiPortOnEachKindOfHuaweiStick)
{
    const struct {
        struct {
            const char* shows;
            const char* productId;
            int firstTty; // one ttyUSB per interface, numbered from here
            int pcUiTty;
            bool fourG; // a 4G stick's PC UI port
        } stick;
        std::vector<FakeUsbInterface> interfaces;
    } rows[] = {
        {{"class triple", "1506", 3, 4, false},
         {{0, "02", "01"}, {1, "02", "02"}, {2, "02", "03"}}},
        // Owners' 12d1:1506 sticks in modem mode.
        {{"1506: five functions under 01", "1506", 0, 4, false},
         {{0, "01", "01"}, {1, "01", "09"}, {2, "01", "08"}, {3, "01", "03"}, {4, "01", "02"}}},
        {{"E398: roles under 03", "1506", 0, 3, false},
         {{0, "03", "01"}, {1, "03", "16"}, {2, "03", "03"}, {3, "03", "02"}}},
        {{"E3372h-153 on stick firmware", "1506", 0, 0, true}, {{0, "02", "12"}}},
        {{"1506 under OpenWrt: 4G codes under 03", "1506", 0, 1, true},
         {{0, "03", "10"}, {1, "03", "12"}, {2, "03", "16"}}},
        {{"4G after triple", "1573", 0, 2, true},
         {{0, "06", "10"}, {1, "06", "13"}, {2, "06", "12"}, {3, "06", "15"}, {4, "06", "14"}}},
        {{"4G code of the last set", "155e", 0, 1, true}, {{0, "02", "70"}, {1, "02", "72"}}},
        {{"interface string", "15ca", 0, 1, false},
         {{0, "06", "10", "Huawei Mobile Connect - Modem"},
          {1, "06", "11", "Huawei Mobile Connect - PC UI Interface"},
          {2, "06", "14", "Huawei Mobile Connect - Application"}}},
        {{"lower-case string", "15ca", 1, 2, false},
         {{0, "06", "10", "modem"}, {2, "06", "16", "pcui"}}},
        // A known all-ff product whose layout differs from an unknown product's.
        {{"known product in upper-case hex", "1C05", 0, 2, false},
         {allFf0, allFf1, allFf2, allFf3}},
        {{"unknown all-ff: the highest tty up to four", "1da1", 0, 3, false},
         {allFf0, allFf1, allFf3, {4, "ff", "ff"}, {5, "ff", "ff"}}},
    };
    for (const auto& [row, interfaces] : rows) {
        SCOPED_TRACE(row.shows);
        FakeSysfs sysfs;
        const QString device = sysfs.addDevice("1-8.4", "12d1", row.productId, "HUAWEI Mobile");
        int tty = row.firstTty;
        for (const auto& interface : interfaces)
            sysfs.addUsbSerialTty(device, interface, QString("ttyUSB%1").arg(tty++));
        QStringList pcUi;
        for (const auto& entry : devicesOf(sysfs))
            if (huaweiPcUiDescriptions.contains(entry.description))
                pcUi << entry.caption;
        const QString description = row.fourG ? huaweiPcUi4GDescription : huaweiPcUiDescription;
        EXPECT_EQ(pcUi, QStringList{description + QString(" (USB%1)").arg(row.pcUiTty)});
    }
}

// Ports come in natural order of their ttys, whichever device they belong to; ports of no
// known Huawei role fall back from the interface string to the product string to the tty name.
// Only a Huawei stick without a PC UI port marks its ttys for asking.
TEST(SysfsDeviceInventory, DescribesEveryPortOfEveryDeviceInNaturalOrder)
{
    FakeSysfs sysfs;
    const QString device = sysfs.addDevice("1-2", "12d1", "1001", "E1550");
    sysfs.addUsbSerialTty(device, allFf2, "ttyUSB10");
    sysfs.addUsbSerialTty(device, allFf1, "ttyUSB9");
    sysfs.addUsbSerialTty(device, allFf0, "ttyUSB8");
    sysfs.addInterface(device, {3, "06", "50", nullptr, "08"}); // storage, without tty
    sysfs.addUsbSerialTty(sysfs.addDevice("1-3", "12d1", "1003"), allFf1, "ttyUSB2");
    const QString named = sysfs.addDevice("1-4", "1a86", "7523", "USB Serial");
    sysfs.addUsbSerialTty(named, {0, "01", "02", "CH340 UART", "ff"}, "ttyUSB0");
    sysfs.addUsbSerialTty(named, {1, "01", "02", nullptr, "ff"}, "ttyUSB1");
    sysfs.addAcmTty(sysfs.addDevice("1-5", "0403", "6001"), {0, "02", "01", nullptr, "02"},
                    "ttyACM0");
    const QString huawei = sysfs.addDevice("1-6", "12d1", "1506", "E3131");
    sysfs.addUsbSerialTty(huawei, {4, "06", "ff", nullptr, "ff"}, "ttyUSB3");

    const QList<DeviceEntry> expected{
        {"ttyACM0", "ttyACM0 (ACM0)"},
        {"CH340 UART", "CH340 UART (USB0)"},
        {"USB Serial", "USB Serial (USB1)"},
        {huaweiPcUiDescription, huaweiPcUiDescription + " (USB2)"},
        {"E3131", "E3131 (USB3)", "1-6#5", 4}, // the fifth device plugged
        {huaweiModemDescription, huaweiModemDescription + " (USB8)"},
        {huaweiApplicationDescription, huaweiApplicationDescription + " (USB9)"},
        {huaweiPcUiDescription, huaweiPcUiDescription + " (USB10)"},
    };
    EXPECT_EQ(devicesOf(sysfs), expected);
}

// Without class/tty there is no list, and ttys of no USB interface make an empty one; unreadable
// entries are skipped or fall back.
TEST(SysfsDeviceInventory, MissingOrUnreadableEntries)
{
    QTemporaryDir empty;
    EXPECT_EQ(SysfsDeviceInventory(empty.path()).devices(), std::nullopt);
    FakeSysfs sysfs;
    sysfs.addVirtualTty("tty0");
    EXPECT_EQ(SysfsDeviceInventory(sysfs.root()).devices(), QList<DeviceEntry>{});

    const QString device = sysfs.addDevice("1-7", "12d1", "1506");
    const QString iface = sysfs.addUsbSerialTty(device, {0, "06", "ff", nullptr}, "ttyUSB0");
    // A product "file" that is a directory and an interface string pointing nowhere.
    QDir(sysfs.root()).mkpath(device + "/product");
    QFile::link("gone", sysfs.root() + '/' + iface + "/interface");
    // A tty link whose target has vanished.
    QFile::link("../../devices/gone", sysfs.root() + "/class/tty/ttyUSB1");
    EXPECT_EQ(devicesOf(sysfs), (QList<DeviceEntry>{{"ttyUSB0", "ttyUSB0 (USB0)", "1-7#1", 0}}));
}

} // namespace
