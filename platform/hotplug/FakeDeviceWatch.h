#pragma once

#include "platform/hotplug/DeviceWatch.h"

// A device watch for tests: the test says when a tty comes or goes.
class FakeDeviceWatch : public DeviceWatch
{
public:
    void add(const QString& name) { emit ttyAdded(name); }
    void remove(const QString& name) { emit ttyRemoved(name); }
};
