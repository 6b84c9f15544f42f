#pragma once

#include <QList>
#include <QString>
#include <optional>

// One device of the system's device list: its description, and a caption that ends with the
// port name in parentheses, such as "HUAWEI Mobile Connect - 3G PC UI Interface (USB2)".
struct DeviceEntry {
    QString description;
    QString caption;
    // On each tty of a Huawei stick on which no PC UI port was found, so that the monitor can
    // ask its ttys in turn: that stick at this plug-in ("1-8.4#7": its place on the bus and the
    // address the bus gave it, which the next plug-in changes) and the tty's USB interface
    // number. Empty and -1 on every other device (given defaults, so that {description,
    // caption} still initialises an entry without a warning).
    QString stickWithoutPcUi = {};
    int interfaceNumber = -1;
    // On a HiLink stick's entry, the address of its web API ("192.168.8.1"); such a stick has no
    // tty to open. Empty on every other device.
    QString hilinkAddress = {};

    bool operator==(const DeviceEntry&) const = default;
};

// The system's list of devices, in the order the system yields them.
class DeviceInventory
{
public:
    virtual ~DeviceInventory() = default;
    // nullopt when the list cannot be read at all (as against a list without the modem).
    virtual std::optional<QList<DeviceEntry>> devices() = 0;
};
