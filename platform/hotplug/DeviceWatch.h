#pragma once

#include <QObject>
#include <QString>

// Tells when tty devices and network interfaces come and go, by their kernel names ("ttyUSB3",
// "usb0"; a HiLink stick has only the latter). Where the system
// delivers no such events (no udev daemon, as in containers) nothing is ever emitted, so a
// caller that waits for a device must also look for it now and then by itself.
class DeviceWatch : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void ttyAdded(const QString& name);
    void ttyRemoved(const QString& name);
    void netAdded(const QString& name);
    void netRemoved(const QString& name);
};
