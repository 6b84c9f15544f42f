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
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "net", nullptr) < 0 ||
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
        const bool isNet = qstrcmp(udev_device_get_subsystem(device), "net") == 0;
        if (action && name) {
            const QString deviceName = QString::fromLocal8Bit(name);
            if (qstrcmp(action, "add") == 0 && isNet) {
                emit netAdded(deviceName);
            } else if (qstrcmp(action, "add") == 0) {
                emit ttyAdded(deviceName);
            } else if (qstrcmp(action, "remove") == 0 && isNet) {
                emit netRemoved(deviceName);
            } else if (qstrcmp(action, "remove") == 0) {
                emit ttyRemoved(deviceName);
            } else if (isNet && qstrcmp(action, "move") == 0) {
                // A renamed interface (usb0 becoming enp0s20f0u2 under predictable names): the
                // old name is gone, the new one has come.
                const QString oldPath =
                    QString::fromLocal8Bit(udev_device_get_property_value(device, "DEVPATH_OLD"));
                if (!oldPath.isEmpty()) {
                    emit netRemoved(oldPath.section(QLatin1Char('/'), -1));
                }
                emit netAdded(deviceName);
            }
        }
        udev_device_unref(device);
    }
}
