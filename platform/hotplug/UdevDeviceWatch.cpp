#include "platform/hotplug/UdevDeviceWatch.h"

#include <QSocketNotifier>
#include <libudev.h>

UdevDeviceWatch::UdevDeviceWatch(QObject* parent) : DeviceWatch(parent)
{
    udev_ = udev_new();
    if (!udev_) {
        error_ = QStringLiteral("udev is not available");
        return;
    }
    // "udev" events come after the daemon has made the device node, so the port can be opened
    // as soon as its event arrives; raw kernel events would come too early for that.
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        error_ = QStringLiteral("Cannot listen for udev events");
        return;
    }
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0) {
        error_ = QStringLiteral("Cannot listen for udev events");
        return;
    }
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readEvents(); });
}

UdevDeviceWatch::~UdevDeviceWatch()
{
    delete notifier_;
    if (monitor_) {
        udev_monitor_unref(monitor_);
    }
    if (udev_) {
        udev_unref(udev_);
    }
}

void UdevDeviceWatch::readEvents()
{
    // The socket is non-blocking: receive until it is empty.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* name = udev_device_get_sysname(device);
        if (action && name) {
            const QString ttyName = QString::fromLocal8Bit(name);
            if (qstrcmp(action, "add") == 0) {
                emit ttyAdded(ttyName);
            } else if (qstrcmp(action, "remove") == 0) {
                emit ttyRemoved(ttyName);
            }
        }
        udev_device_unref(device);
    }
}
