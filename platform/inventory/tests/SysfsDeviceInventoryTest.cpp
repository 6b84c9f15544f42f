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

using Interface = FakeUsbInterface;

QList<DeviceEntry> devicesOf(FakeSysfs& sysfs)
{
    SysfsDeviceInventory inventory(sysfs.root());
    return inventory.devices().value_or(QList<DeviceEntry>{});
}

QString pcUiCaption(int ttyNumber)
{
    return huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(ttyNumber);
}

struct StickRow {
    const char* name;
    const char* productId;
    std::vector<Interface> interfaces; // one ttyUSB each, numbered from firstTty
    int firstTty;
    int pcUiTty;
    bool fourG = false; // a 4G stick's PC UI port
};

class HuaweiStickTest : public testing::TestWithParam<StickRow>
{
};

TEST_P(HuaweiStickTest, YieldsExactlyOnePcUiPortWithItsCaption)
{
    const auto& row = GetParam();
    FakeSysfs sysfs;
    ASSERT_TRUE(sysfs.valid());
    const QString device =
        sysfs.addDevice(QStringLiteral("1-8.4"), "12d1", row.productId, "HUAWEI Mobile");
    int tty = row.firstTty;
    for (const auto& interface : row.interfaces) {
        sysfs.addUsbSerialTty(device, interface, QStringLiteral("ttyUSB%1").arg(tty++));
    }
    QList<DeviceEntry> pcUi;
    for (const auto& entry : devicesOf(sysfs)) {
        if (huaweiPcUiDescriptions.contains(entry.description)) {
            pcUi << entry;
        }
    }
    ASSERT_EQ(pcUi.size(), 1);
    const QString description = row.fourG ? huaweiPcUi4GDescription : huaweiPcUiDescription;
    EXPECT_EQ(pcUi[0].caption, description + QStringLiteral(" (USB%1)").arg(row.pcUiTty));
}

const Interface allFf0{0, "ff", "ff"};
const Interface allFf1{1, "ff", "ff"};
const Interface allFf2{2, "ff", "ff"};
const Interface allFf3{3, "ff", "ff"};
const Interface allFf5{5, "ff", "ff"};

const StickRow stickRows[] = {
    {"SubclassOneProtocolTwo", "1506", {{0, "01", "01"}, {1, "01", "03"}, {2, "01", "02"}}, 0, 2},
    {"SubclassTwoProtocolTwo", "1506", {{0, "02", "01"}, {1, "02", "02"}, {2, "02", "03"}}, 3, 4},
    {"ProtocolTwelve", "1573", {{0, "01", "10"}, {1, "01", "12"}, {2, "06", "13"}}, 0, 1, true},
    {"FourGSubclassSixAfterTheApplicationPort",
     "1573",
     {{0, "06", "10"}, {1, "06", "13"}, {2, "06", "12"}, {3, "06", "15"}, {4, "06", "14"}},
     0,
     2,
     true},
    {"FourGSecondSetProtocol42", "1506", {{0, "03", "40"}, {1, "03", "42"}}, 5, 6, true},
    {"FourGThirdSetProtocol72", "155e", {{0, "02", "70"}, {1, "02", "72"}}, 0, 1, true},
    {"InterfaceStringPcUi",
     "15ca",
     {{0, "06", "10", "Huawei Mobile Connect - Modem"},
      {1, "06", "11", "Huawei Mobile Connect - PC UI Interface"},
      {2, "06", "14", "Huawei Mobile Connect - Application"}},
     0,
     1},
    {"InterfaceStringPcuiLowerCase",
     "15ca",
     {{0, "06", "10", "modem"}, {2, "06", "16", "pcui"}},
     1,
     2},
    // Products whose table entry differs from what an unknown product's layout would give.
    {"Product1406", "1406", {allFf0, allFf1, allFf2}, 0, 1},
    {"Product1C05UpperCaseHex", "1C05", {allFf0, allFf1, allFf2, allFf3}, 0, 2},
    {"UnknownAllFfHighestTtyInterface", "1da1", {allFf0, allFf1, allFf2}, 0, 2},
    {"UnknownAllFfIgnoresInterfaceFive", "1da1", {allFf0, allFf1, allFf3, allFf5}, 0, 2},
};

INSTANTIATE_TEST_SUITE_P(Sticks, HuaweiStickTest, testing::ValuesIn(stickRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Ports come in natural order of their ttys, whichever stick they belong to.
TEST(SysfsDeviceInventory, DescribesEveryPortOfEveryStickInNaturalOrder)
{
    FakeSysfs sysfs;
    const QString device = sysfs.addDevice(QStringLiteral("1-2"), "12d1", "1001", "E1550");
    sysfs.addUsbSerialTty(device, allFf2, QStringLiteral("ttyUSB10"));
    sysfs.addUsbSerialTty(device, allFf1, QStringLiteral("ttyUSB9"));
    sysfs.addUsbSerialTty(device, allFf0, QStringLiteral("ttyUSB8"));
    // A storage interface without tty does not show up.
    sysfs.addInterface(device, {3, "06", "50", nullptr, "08"});
    const QString otherStick = sysfs.addDevice(QStringLiteral("1-3"), "12d1", "1003");
    sysfs.addUsbSerialTty(otherStick, allFf1, QStringLiteral("ttyUSB2"));

    const QList<DeviceEntry> expected{
        {huaweiPcUiDescription, pcUiCaption(2)},
        {huaweiModemDescription, huaweiModemDescription + QStringLiteral(" (USB8)")},
        {huaweiApplicationDescription, huaweiApplicationDescription + QStringLiteral(" (USB9)")},
        {huaweiPcUiDescription, pcUiCaption(10)},
    };
    EXPECT_EQ(devicesOf(sysfs), expected);
}

// Without class/tty there is no list; ttys that belong to no USB interface make an empty one.
TEST(SysfsDeviceInventory, NoTtyClassGivesNoListAndNoUsbTtyAnEmptyOne)
{
    QTemporaryDir empty;
    EXPECT_EQ(SysfsDeviceInventory(empty.path()).devices(), std::nullopt);
    FakeSysfs sysfs;
    sysfs.addVirtualTty(QStringLiteral("tty0"));
    sysfs.addVirtualTty(QStringLiteral("ttyS0"));
    EXPECT_EQ(SysfsDeviceInventory(sysfs.root()).devices(), QList<DeviceEntry>{});
}

TEST(SysfsDeviceInventory, OtherDevicesFallBackFromInterfaceToProductToName)
{
    FakeSysfs sysfs;
    const QString named = sysfs.addDevice(QStringLiteral("1-4"), "1a86", "7523", "USB Serial");
    sysfs.addUsbSerialTty(named, {0, "01", "02", "CH340 UART", "ff"}, QStringLiteral("ttyUSB0"));
    sysfs.addUsbSerialTty(named, {1, "01", "02", nullptr, "ff"}, QStringLiteral("ttyUSB1"));
    const QString bare = sysfs.addDevice(QStringLiteral("1-5"), "0403", "6001");
    sysfs.addAcmTty(bare, {0, "02", "01", nullptr, "02"}, QStringLiteral("ttyACM0"));
    // A Huawei interface of no known role is described like any other.
    const QString huawei = sysfs.addDevice(QStringLiteral("1-6"), "12d1", "1506", "E3131");
    sysfs.addUsbSerialTty(huawei, {4, "06", "ff", nullptr, "ff"}, QStringLiteral("ttyUSB3"));

    const QList<DeviceEntry> expected{
        {QStringLiteral("ttyACM0"), QStringLiteral("ttyACM0 (ACM0)")},
        {QStringLiteral("CH340 UART"), QStringLiteral("CH340 UART (USB0)")},
        {QStringLiteral("USB Serial"), QStringLiteral("USB Serial (USB1)")},
        {QStringLiteral("E3131"), QStringLiteral("E3131 (USB3)")},
    };
    EXPECT_EQ(devicesOf(sysfs), expected);
}

TEST(SysfsDeviceInventory, UnreadableEntriesAreSkippedOrFallBack)
{
    FakeSysfs sysfs;
    const QString device = sysfs.addDevice(QStringLiteral("1-7"), "12d1", "1506");
    const QString iface =
        sysfs.addUsbSerialTty(device, {0, "06", "ff", nullptr}, QStringLiteral("ttyUSB0"));
    // A product "file" that is a directory and an interface string pointing nowhere.
    QDir(sysfs.root()).mkpath(device + QStringLiteral("/product"));
    QFile::link(QStringLiteral("gone"),
                sysfs.root() + QLatin1Char('/') + iface + QStringLiteral("/interface"));
    // A tty link whose target has vanished.
    QFile::link(QStringLiteral("../../devices/gone"),
                sysfs.root() + QStringLiteral("/class/tty/ttyUSB1"));

    const QList<DeviceEntry> expected{
        {QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB0 (USB0)")}};
    EXPECT_EQ(devicesOf(sysfs), expected);
}

} // namespace
