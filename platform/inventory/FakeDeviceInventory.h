#pragma once

#include "platform/inventory/DeviceInventory.h"

// A device list for tests; nullopt stands for an inventory that cannot be read.
class FakeDeviceInventory : public DeviceInventory
{
public:
    std::optional<QList<DeviceEntry>> list = QList<DeviceEntry>{};
    std::optional<QList<DeviceEntry>> devices() override { return list; }
};
