#include "platform/inventory/FakeSysfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FakeSysfs::FakeSysfs()
{
    QDir(root()).mkpath(QStringLiteral("class/tty"));
}

QString FakeSysfs::addDevice(const QString& port, const char* vendor, const char* product,
                             const char* productString)
{
    const QString device = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb1/") + port;
    write(device + QStringLiteral("/idVendor"), vendor);
    write(device + QStringLiteral("/idProduct"), product);
    write(device + QStringLiteral("/devnum"), QByteArray::number(nextAddress_++));
    if (productString) {
        write(device + QStringLiteral("/product"), productString);
    }
    return device;
}

QString FakeSysfs::addUsbSerialTty(const QString& device, const FakeUsbInterface& interface,
                                   const QString& ttyName)
{
    const QString iface = addInterface(device, interface);
    link(ttyName, iface + QLatin1Char('/') + ttyName + QStringLiteral("/tty/") + ttyName);
    return iface;
}

void FakeSysfs::addAcmTty(const QString& device, const FakeUsbInterface& interface,
                          const QString& ttyName)
{
    const QString iface = addInterface(device, interface);
    link(ttyName, iface + QStringLiteral("/tty/") + ttyName);
}

void FakeSysfs::addVirtualTty(const QString& ttyName)
{
    link(ttyName, QStringLiteral("devices/virtual/tty/") + ttyName);
}

QString FakeSysfs::addInterface(const QString& device, const FakeUsbInterface& interface)
{
    const QString name =
        device.section(QLatin1Char('/'), -1) + QStringLiteral(":1.%1").arg(interface.number);
    const QString iface = device + QLatin1Char('/') + name;
    write(iface + QStringLiteral("/bInterfaceNumber"),
          QStringLiteral("%1").arg(interface.number, 2, 16, QLatin1Char('0')).toLatin1());
    write(iface + QStringLiteral("/bInterfaceClass"), interface.interfaceClass);
    write(iface + QStringLiteral("/bInterfaceSubClass"), interface.subClass);
    write(iface + QStringLiteral("/bInterfaceProtocol"), interface.protocol);
    if (interface.interfaceString) {
        write(iface + QStringLiteral("/interface"), interface.interfaceString);
    }
    return iface;
}

QString FakeSysfs::plugHuaweiStick(const QString& port, int pcUiTty)
{
    const QString device = addDevice(port, "12d1", "1003", "HUAWEI Mobile");
    addUsbSerialTty(device, {0, "ff", "ff"}, QStringLiteral("ttyUSB%1").arg(pcUiTty - 1));
    addUsbSerialTty(device, {1, "ff", "ff"}, QStringLiteral("ttyUSB%1").arg(pcUiTty));
    return device;
}

void FakeSysfs::unplug(const QString& device)
{
    const QString deviceDir = QFileInfo(root() + QLatin1Char('/') + device).canonicalFilePath();
    const QDir ttyClass(root() + QStringLiteral("/class/tty"));
    for (const QFileInfo& tty :
         ttyClass.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (tty.canonicalFilePath().startsWith(deviceDir + QLatin1Char('/'))) {
            QFile::remove(tty.filePath());
        }
    }
    QDir(deviceDir).removeRecursively();
}

void FakeSysfs::write(const QString& relativePath, const char* content)
{
    const QString path = root() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QByteArray(content) + '\n');
    }
}

void FakeSysfs::link(const QString& ttyName, const QString& realRelative)
{
    QDir(root()).mkpath(realRelative);
    QFile::link(QStringLiteral("../../") + realRelative,
                root() + QStringLiteral("/class/tty/") + ttyName);
}
