#pragma once

#include <QList>
#include <QString>
#include <optional>

// One device of the system's device list: its description, and a caption that ends with the
// port name in parentheses, such as "HUAWEI Mobile Connect - 3G PC UI Interface (USB2)".
struct DeviceEntry {
    QString description;
    QString caption;

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
