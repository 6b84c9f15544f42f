#pragma once

#include <QSerialPort>
#include <QString>

// What the file system says about a device node before we try to open it.
enum class DeviceAccess {
    Missing,   // no such file
    Denied,    // exists, but this user may not read and write it
    Accessible // exists and may be opened for reading and writing
};

// Looks at the device node the way open(2) will (access(2) with read and write).
DeviceAccess probeDeviceAccess(const QString& path);

// Why opening `path` failed, in words a Linux user can act on. `error` and `errorText` are what
// QSerialPort reported; `access` tells apart the cases it lumps together (a lock held by another
// program and a node the user may not open both come back as PermissionError).
QString openFailureReason(const QString& path, DeviceAccess access,
                          QSerialPort::SerialPortError error, const QString& errorText);

// Whether an error QSerialPort reports during a read or write means that the device is gone:
// a pulled stick gives ResourceError, a hung-up line ReadError or WriteError.
bool meansDeviceGone(QSerialPort::SerialPortError error);
