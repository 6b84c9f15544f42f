#pragma once

#include "platform/hotplug/DeviceWatch.h"

// A device watch for tests: the test says when a tty or a network interface comes or goes.
class FakeDeviceWatch : public DeviceWatch
{
public:
    void add(const QString& name) { emit ttyAdded(name); }
    void remove(const QString& name) { emit ttyRemoved(name); }
    void addNet(const QString& name) { emit netAdded(name); }
    void removeNet(const QString& name) { emit netRemoved(name); }
};
