#include "platform/inventory/FakeSysfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace
{

// An IPv4 address as /proc/net/route prints it: its network-order bytes read as one native
// word, "0108A8C0" for 192.168.8.1 on a little-endian machine.
QString routeHex(quint32 address)
{
    return QStringLiteral("%1").arg(qToBigEndian(address), 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

FakeSysfs::FakeSysfs()
{
    QDir(root()).mkpath(QStringLiteral("class/tty"));
    QDir(root()).mkpath(QStringLiteral("class/net"));
    write(QStringLiteral("proc/net/route"), "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\t"
                                            "Metric\tMask\t\tMTU\tWindow\tIRTT");
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

QString FakeSysfs::plugHilinkStick(const QString& port, const QString& ifname,
                                   const QString& address)
{
    const QString device = addDevice(port, "12d1", "14dc", "HUAWEI_MOBILE");
    const QString control = addInterface(device, {0, "06", "00", nullptr, "02"});
    addInterface(device, {1, "00", "00", nullptr, "0a"}); // cdc_ether's data interface
    const QString net = control + QStringLiteral("/net/") + ifname;
    QDir(root()).mkpath(net);
    QFile::link(QStringLiteral("../../../") + control.section(QLatin1Char('/'), -1),
                root() + QLatin1Char('/') + net + QStringLiteral("/device"));
    QFile::link(QStringLiteral("../../") + net, root() + QStringLiteral("/class/net/") + ifname);

    quint32 gateway = 0;
    for (const QString& octet : address.split(QLatin1Char('.'))) {
        gateway = gateway << 8 | octet.toUInt();
    }
    const quint32 mask = 0xffffff00;
    QFile routes(routeFile());
    if (routes.open(QIODevice::Append)) {
        routes.write(QStringLiteral("%1\t%2\t00000000\t0001\t0\t0\t0\t%3\t0\t0\t0\n"
                                    "%1\t00000000\t%4\t0003\t0\t0\t0\t00000000\t0\t0\t0\n")
                         .arg(ifname, routeHex(gateway & mask), routeHex(mask), routeHex(gateway))
                         .toLatin1());
    }
    return device;
}

void FakeSysfs::unplug(const QString& device)
{
    const QString deviceDir = QFileInfo(root() + QLatin1Char('/') + device).canonicalFilePath();
    QStringList gone;
    for (const QString& kind : {QStringLiteral("tty"), QStringLiteral("net")}) {
        const QDir classDir(root() + QStringLiteral("/class/") + kind);
        for (const QFileInfo& entry :
             classDir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (entry.canonicalFilePath().startsWith(deviceDir + QLatin1Char('/'))) {
                gone << entry.fileName();
                QFile::remove(entry.filePath());
            }
        }
    }
    QDir(deviceDir).removeRecursively();

    QFile routes(routeFile());
    if (!routes.open(QIODevice::ReadOnly)) {
        return;
    }
    QByteArray kept;
    for (const QByteArray& line : routes.readAll().split('\n')) {
        if (!line.isEmpty() && !gone.contains(QString::fromLatin1(line.left(line.indexOf('\t'))))) {
            kept += line + '\n';
        }
    }
    routes.close();
    if (routes.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        routes.write(kept);
    }
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
