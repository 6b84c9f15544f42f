#include "platform/inventory/SysfsDeviceInventory.h"

#include "platform/inventory/HilinkInterfaces.h"
#include "platform/inventory/SysfsAttributes.h"
#include "platform/inventory/UsbTtyDescription.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace
{

struct UsbTty {
    QString name;
    QString devicePath;
    // The device's directory name and bus address: "1-8.4#7".
    QString plugIn;
    UsbInterfaceFacts interface;
    UsbDeviceFacts device;
};

std::optional<UsbTty> usbTtyAt(const QString& ttyClassDir, const QString& name,
                               const QString& rootPrefix)
{
    const QString real = QFileInfo(ttyClassDir + QLatin1Char('/') + name).canonicalFilePath();
    if (real.isEmpty()) {
        return std::nullopt;
    }
    const QString interfaceDir = ancestorWith(real, "bInterfaceClass", rootPrefix);
    if (interfaceDir.isEmpty()) {
        return std::nullopt;
    }
    const QString deviceDir = ancestorWith(interfaceDir, "idVendor", rootPrefix);
    if (deviceDir.isEmpty()) {
        return std::nullopt;
    }
    bool numberOk = false;
    const int number =
        readAttribute(interfaceDir, QStringLiteral("bInterfaceNumber")).toInt(&numberOk, 16);
    UsbTty tty;
    tty.name = name;
    tty.devicePath = deviceDir;
    tty.plugIn = usbPlugIn(deviceDir);
    tty.interface = {readAttribute(interfaceDir, QStringLiteral("bInterfaceClass")),
                     readAttribute(interfaceDir, QStringLiteral("bInterfaceSubClass")),
                     readAttribute(interfaceDir, QStringLiteral("bInterfaceProtocol")),
                     numberOk ? number : -1,
                     readAttribute(interfaceDir, QStringLiteral("interface"))};
    tty.device = {readAttribute(deviceDir, QStringLiteral("idVendor")),
                  readAttribute(deviceDir, QStringLiteral("idProduct")),
                  readAttribute(deviceDir, QStringLiteral("product"))};
    return tty;
}

QList<int> ttyInterfaceNumbersOf(const QString& devicePath, const QList<UsbTty>& ttys)
{
    QList<int> numbers;
    for (const auto& tty : ttys) {
        if (tty.devicePath == devicePath) {
            numbers << tty.interface.number;
        }
    }
    return numbers;
}

// The plug-ins of the sticks that have a PC UI port among `ttys`, which `entries` describe.
QSet<QString> sticksWithPcUi(const QList<UsbTty>& ttys, const QList<DeviceEntry>& entries)
{
    QSet<QString> withPcUi;
    for (qsizetype i = 0; i < ttys.size(); ++i) {
        if (huaweiPcUiDescriptions.contains(entries[i].description)) {
            withPcUi.insert(ttys[i].plugIn);
        }
    }
    return withPcUi;
}

// Marks the ttys of each Huawei stick without a PC UI port with that stick's plug-in and their
// interface numbers. `entries` are the descriptions of `ttys`, in their order.
void markSticksWithoutPcUi(const QList<UsbTty>& ttys, const QSet<QString>& withPcUi,
                           QList<DeviceEntry>& entries)
{
    for (qsizetype i = 0; i < ttys.size(); ++i) {
        if (isHuawei(ttys[i].device) && !withPcUi.contains(ttys[i].plugIn)) {
            entries[i].stickWithoutPcUi = ttys[i].plugIn;
            entries[i].interfaceNumber = ttys[i].interface.number;
        }
    }
}

// One entry per HiLink interface, except on a stick that also has a PC UI port: the monitor
// speaks AT to such a stick rather than asking its web API.
void appendHilinkSticks(const QString& root, const QString& routeFile,
                        const QSet<QString>& withPcUi, QList<DeviceEntry>& entries)
{
    QFile routes(routeFile);
    if (!routes.open(QIODevice::ReadOnly)) {
        return;
    }
    const QString routeText = QString::fromLatin1(routes.readAll());
    for (const HilinkInterface& hilink : hilinkInterfaces(root, routeText)) {
        if (!withPcUi.contains(hilink.plugIn)) {
            entries << DeviceEntry{
                QStringLiteral("HUAWEI HiLink network interface (%1)").arg(hilink.name),
                QStringLiteral("HiLink ") + hilink.address,
                {},
                -1,
                hilink.address};
        }
    }
}

// "ttyUSB2" -> "USB2": the port name as the caption shows it.
QString portName(const QString& ttyName)
{
    return ttyName.startsWith(QLatin1String("tty")) ? ttyName.mid(3) : ttyName;
}

} // namespace

bool naturalLess(const QString& left, const QString& right)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < left.size() && j < right.size()) {
        if (left[i].isDigit() && right[j].isDigit()) {
            qsizetype iEnd = i;
            qsizetype jEnd = j;
            while (iEnd < left.size() && left[iEnd].isDigit()) {
                ++iEnd;
            }
            while (jEnd < right.size() && right[jEnd].isDigit()) {
                ++jEnd;
            }
            // Compare digit runs by value without converting: strip leading zeros, then the
            // longer run is larger, else compare digit by digit.
            QStringView a = QStringView(left).mid(i, iEnd - i);
            QStringView b = QStringView(right).mid(j, jEnd - j);
            while (a.size() > 1 && a.front() == QLatin1Char('0')) {
                a = a.mid(1);
            }
            while (b.size() > 1 && b.front() == QLatin1Char('0')) {
                b = b.mid(1);
            }
            if (a.size() != b.size()) {
                return a.size() < b.size();
            }
            if (const int order = a.compare(b); order != 0) {
                return order < 0;
            }
            i = iEnd;
            j = jEnd;
            continue;
        }
        if (left[i] != right[j]) {
            return left[i] < right[j];
        }
        ++i;
        ++j;
    }
    return left.size() - i < right.size() - j;
}

SysfsDeviceInventory::SysfsDeviceInventory(QString sysfsRoot, QString routeFile)
    : root_(std::move(sysfsRoot)), routeFile_(std::move(routeFile))
{
}

std::optional<QList<DeviceEntry>> SysfsDeviceInventory::devices()
{
    const QString ttyClassDir = root_ + QStringLiteral("/class/tty");
    const QDir dir(ttyClassDir);
    if (!dir.exists() || !dir.isReadable()) {
        return std::nullopt;
    }
    const QString rootPrefix = rootPrefixOf(root_);
    QStringList names =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end(), naturalLess);

    QList<UsbTty> ttys;
    for (const auto& name : names) {
        if (auto tty = usbTtyAt(ttyClassDir, name, rootPrefix)) {
            ttys << *tty;
        }
    }
    QList<DeviceEntry> entries;
    for (const auto& tty : ttys) {
        const QString description = describeUsbTty(tty.name, tty.interface, tty.device,
                                                   ttyInterfaceNumbersOf(tty.devicePath, ttys));
        entries << DeviceEntry{description, description + QStringLiteral(" (") +
                                                portName(tty.name) + QLatin1Char(')')};
    }
    const QSet<QString> withPcUi = sticksWithPcUi(ttys, entries);
    markSticksWithoutPcUi(ttys, withPcUi, entries);
    appendHilinkSticks(root_, routeFile_, withPcUi, entries);
    return entries;
}
