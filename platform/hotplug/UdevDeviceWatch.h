#pragma once

#include "platform/hotplug/DeviceWatch.h"

struct udev;
struct udev_monitor;
class QSocketNotifier;

// The device watch on Linux: a udev monitor for the "tty" and "net" subsystems, read on the event
// loop when its socket has something. When the monitor cannot be set up, the watch stays silent and
// errorString() says why.
class UdevDeviceWatch : public DeviceWatch
{
public:
    explicit UdevDeviceWatch(QObject* parent = nullptr);
    ~UdevDeviceWatch() override;

    bool isWatching() const { return notifier_ != nullptr; }
    QString errorString() const { return error_; }

private:
    void readEvents();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    QString error_;
};
