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
// and class/tty holding relative symlinks to each tty's real directory. For tests, and for
// running the monitor on a simulated stick that comes and goes.
class FakeSysfs
{
public:
    FakeSysfs();
    bool valid() const { return dir_.isValid(); }
    QString root() const { return dir_.path(); }

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
    // The device goes, with every tty below it, as when the stick is pulled.
    void unplug(const QString& device);

    void write(const QString& relativePath, const char* content);

private:
    void link(const QString& ttyName, const QString& realRelative);

    QTemporaryDir dir_;
    int nextAddress_ = 1;
};
