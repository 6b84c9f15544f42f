#include "platform/inventory/HilinkInterfaces.h"

#include "platform/inventory/SysfsAttributes.h"
#include "platform/inventory/UsbTtyDescription.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <optional>

namespace
{

constexpr quint32 routeFlagGateway = 0x2; // RTF_GATEWAY

struct Route {
    quint32 destination; // addresses in host order
    quint32 gateway;
    quint32 mask;
    bool viaGateway;
};

// The kernel prints each address as its network-order bytes read as one native word, which a
// little-endian machine shows reversed: "0108A8C0" is 192.168.8.1.
std::optional<quint32> routeAddress(const QString& field)
{
    bool ok = false;
    const quint32 value = field.toUInt(&ok, 16);
    if (!ok || field.size() != 8) {
        return std::nullopt;
    }
    return qFromBigEndian(value);
}

// The routes of interface `name`; the header line and lines that do not parse are skipped.
QList<Route> routesOf(const QString& routeText, const QString& name)
{
    QList<Route> routes;
    const QStringList lines = routeText.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() < 8 || fields[0] != name) {
            continue;
        }
        bool flagsOk = false;
        const quint32 flags = fields[3].toUInt(&flagsOk, 16);
        const auto destination = routeAddress(fields[1]);
        const auto gateway = routeAddress(fields[2]);
        const auto mask = routeAddress(fields[7]);
        if (!flagsOk || !destination || !gateway || !mask) {
            continue;
        }
        routes << Route{*destination, *gateway, *mask, (flags & routeFlagGateway) != 0};
    }
    return routes;
}

bool isSubnet(const Route& route)
{
    return !route.viaGateway && route.mask != 0;
}

QString dotted(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xff)
        .arg((address >> 8) & 0xff)
        .arg(address & 0xff);
}

} // namespace

QString hilinkAddress(const QString& routeText, const QString& name)
{
    const QList<Route> routes = routesOf(routeText, name);
    const auto within = [&routes](quint32 address) {
        return std::any_of(routes.begin(), routes.end(), [address](const Route& subnet) {
            return isSubnet(subnet) &&
                   (address & subnet.mask) == (subnet.destination & subnet.mask);
        });
    };
    for (const Route& route : routes) {
        if (route.viaGateway && within(route.gateway)) {
            return dotted(route.gateway);
        }
    }
    for (const Route& route : routes) {
        const quint32 firstHost = (route.destination & route.mask) + 1;
        // A /32 has no address beside its own.
        if (isSubnet(route) && (firstHost & route.mask) == (route.destination & route.mask)) {
            return dotted(firstHost);
        }
    }
    return {};
}

QList<HilinkInterface> hilinkInterfaces(const QString& sysfsRoot, const QString& routeText)
{
    const QString netClassDir = sysfsRoot + QStringLiteral("/class/net");
    const QString rootPrefix = rootPrefixOf(sysfsRoot);
    QList<HilinkInterface> found;
    const QStringList names =
        QDir(netClassDir)
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        // `device` leads to the USB interface the network card belongs to; its parent is the
        // USB device. Virtual and PCI cards have no such pair.
        const QString interfaceDir =
            QFileInfo(netClassDir + QLatin1Char('/') + name + QStringLiteral("/device"))
                .canonicalFilePath();
        const QString deviceDir = QFileInfo(interfaceDir).path();
        if (interfaceDir.isEmpty() || !deviceDir.startsWith(rootPrefix) ||
            readAttribute(interfaceDir, QStringLiteral("bInterfaceClass")).isEmpty() ||
            !isHuawei({readAttribute(deviceDir, QStringLiteral("idVendor")), {}, {}})) {
            continue;
        }
        const QString address = hilinkAddress(routeText, name);
        if (!address.isEmpty()) {
            found << HilinkInterface{name, address, usbPlugIn(deviceDir)};
        }
    }
    return found;
}
