#pragma once

#include "platform/inventory/DeviceInventory.h"

// The device list on Linux: every tty under <sysfsRoot>/class/tty that belongs to a USB
// interface, in natural order of name (ttyUSB2 before ttyUSB10). Each yields a description
// (for a Huawei stick the names its drivers give its interfaces) and the caption
// "<description> (USB<N>)" for ttyUSB<N>, so that a caption ends in the port name the way the
// monitor's port cut rule expects.
class SysfsDeviceInventory : public DeviceInventory
{
public:
    explicit SysfsDeviceInventory(QString sysfsRoot);

    // nullopt when <sysfsRoot>/class/tty cannot be listed.
    std::optional<QList<DeviceEntry>> devices() override;

private:
    QString root_;
};

// "ttyUSB2" < "ttyUSB10": runs of digits compare by their value.
bool naturalLess(const QString& left, const QString& right);
