#pragma once

#include "platform/inventory/DeviceInventory.h"

// The device list on Linux: every tty under <sysfsRoot>/class/tty that belongs to a USB
// interface, in natural order of name (ttyUSB2 before ttyUSB10). Each yields a description
// (for a Huawei stick the names its drivers give its interfaces) and the caption
// "<description> (USB<N>)" for ttyUSB<N>, so that a caption ends in the port name the way the
// monitor's port cut rule expects. After the ttys come the HiLink sticks' network interfaces
// (see HilinkInterfaces.h), with the address read from `routeFile`; a stick that also has a PC UI
// port is left to that port. An unreadable route file only leaves the HiLink sticks out.
class SysfsDeviceInventory : public DeviceInventory
{
public:
    explicit SysfsDeviceInventory(QString sysfsRoot,
                                  QString routeFile = QStringLiteral("/proc/net/route"));

    // nullopt when <sysfsRoot>/class/tty cannot be listed.
    std::optional<QList<DeviceEntry>> devices() override;

private:
    QString root_;
    QString routeFile_;
};

// "ttyUSB2" < "ttyUSB10": runs of digits compare by their value.
bool naturalLess(const QString& left, const QString& right);
