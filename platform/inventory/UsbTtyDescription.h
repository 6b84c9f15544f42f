#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What sysfs tells about the USB interface a tty belongs to. Hex fields are kept as sysfs
// writes them ("ff", "01"); number is bInterfaceNumber (-1 when unreadable).
struct UsbInterfaceFacts {
    QString interfaceClass;
    QString interfaceSubClass;
    QString interfaceProtocol;
    int number = -1;
    QString interfaceString; // the optional `interface` file, "" when absent
};

// What sysfs tells about the USB device above that interface.
struct UsbDeviceFacts {
    QString vendorId;  // idVendor, such as "12d1"
    QString productId; // idProduct, such as "1001"
    QString product;   // the product string, "" when absent
};

inline const QString huaweiPcUiDescription =
    QStringLiteral("HUAWEI Mobile Connect - 3G PC UI Interface");
inline const QString huaweiModemDescription = QStringLiteral("HUAWEI Mobile Connect - 3G Modem");
inline const QString huaweiApplicationDescription =
    QStringLiteral("HUAWEI Mobile Connect - 3G Application Interface");
// The same interfaces of a 4G stick.
inline const QString huaweiPcUi4GDescription =
    QStringLiteral("HUAWEI Mobile Connect - 4G PC UI Interface");
inline const QString huaweiModem4GDescription = QStringLiteral("HUAWEI Mobile Connect - 4G Modem");
inline const QString huaweiApplication4GDescription =
    QStringLiteral("HUAWEI Mobile Connect - 4G Application Interface");

// The descriptions of a stick's AT-command ("PC UI") port, which the monitor opens.
inline const QStringList huaweiPcUiDescriptions{huaweiPcUiDescription, huaweiPcUi4GDescription};

// Whether the device is Huawei's (USB vendor 12d1).
bool isHuawei(const UsbDeviceFacts& device);

// The description of tty `name`, named the way the stick's own drivers name its interfaces.
// `ttyInterfaceNumbers` lists the interface numbers of every tty of the same USB device; old
// sticks whose product is not known need them to find the PC UI port.
QString describeUsbTty(const QString& name, const UsbInterfaceFacts& interface,
                       const UsbDeviceFacts& device, const QList<int>& ttyInterfaceNumbers);
