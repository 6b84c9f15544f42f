#pragma once

#include <QString>
#include <QTemporaryDir>

// One USB interface of a fake device: class ff unless said otherwise.
struct FakeUsbInterface {
    int number;
    const char* subClass;
    const char* protocol;
    const char* interfaceString = nullptr;
    const char* interfaceClass = "ff";
};

// A sysfs tree in a temporary folder, laid out as the kernel does it: devices under devices/,
// and class/tty and class/net holding relative symlinks to each tty's and network interface's
// real directory; beside it a route table in /proc/net/route's format. For tests, and for
// running the monitor on a simulated stick that comes and goes.
class FakeSysfs
{
public:
    FakeSysfs();
    bool valid() const { return dir_.isValid(); }
    QString root() const { return dir_.path(); }
    // The route table: a header line, then the routes of each HiLink stick plugged.
    QString routeFile() const { return root() + QStringLiteral("/proc/net/route"); }

    // A USB device at bus position `port` (such as "1-8.4") with its identity files and the next
    // bus address (1, 2, ... in the order devices are added, as the kernel numbers each
    // plug-in anew); returns its directory relative to the root.
    QString addDevice(const QString& port, const char* vendor, const char* product,
                      const char* productString = nullptr);
    // An interface of `device` with a usb-serial tty below it (.../1-8.4:1.2/ttyUSB2/tty/ttyUSB2).
    // Returns the interface directory.
    QString addUsbSerialTty(const QString& device, const FakeUsbInterface& interface,
                            const QString& ttyName);
    // A cdc_acm tty sits directly below its interface (.../1-2:1.0/tty/ttyACM0).
    void addAcmTty(const QString& device, const FakeUsbInterface& interface,
                   const QString& ttyName);
    void addVirtualTty(const QString& ttyName);
    QString addInterface(const QString& device, const FakeUsbInterface& interface);

    // A Huawei E220 (12d1:1003) at bus position `port`: its modem port on ttyUSB<pcUiTty - 1>,
    // its "PC UI" AT port on ttyUSB<pcUiTty>. Returns the device's directory.
    QString plugHuaweiStick(const QString& port, int pcUiTty);
    // A Huawei HiLink stick (12d1:14dc) at bus position `port`: a cdc_ether network interface
    // `ifname`, routed as the stick's DHCP leaves it: the /24 around `address`, and the default
    // route through `address`. Returns the device's directory.
    QString plugHilinkStick(const QString& port, const QString& ifname,
                            const QString& address = QStringLiteral("192.168.8.1"));
    // The device goes, with every tty and network interface below it and that interface's
    // routes, as when the stick is pulled.
    void unplug(const QString& device);

    void write(const QString& relativePath, const char* content);

private:
    void link(const QString& ttyName, const QString& realRelative);

    QTemporaryDir dir_;
    int nextAddress_ = 1;
};
