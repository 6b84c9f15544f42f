#include "platform/serial/FailureReasons.h"

#include <QFile>
#include <cerrno>
#include <unistd.h>

DeviceAccess probeDeviceAccess(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), F_OK) != 0) {
        return DeviceAccess::Missing;
    }
    if (::access(native.constData(), R_OK | W_OK) != 0) {
        return DeviceAccess::Denied;
    }
    return DeviceAccess::Accessible;
}

QString openFailureReason(const QString& path, DeviceAccess access,
                          QSerialPort::SerialPortError error, const QString& errorText)
{
    if (access == DeviceAccess::Missing || error == QSerialPort::DeviceNotFoundError) {
        return QStringLiteral("No such device: %1 does not exist (is the modem plugged in?)")
            .arg(path);
    }
    if (access == DeviceAccess::Denied) {
        return QStringLiteral("Permission denied: add your user to the dialout group");
    }
    // The node is ours to open, so a permission or busy error comes from the lock file or the
    // exclusive mode of another program that holds the port.
    if (error == QSerialPort::PermissionError) {
        return QStringLiteral("%1 is in use by another program (is ModemManager running?)")
            .arg(path);
    }
    if (error == QSerialPort::UnsupportedOperationError) {
        return QStringLiteral("%1 is not a serial port").arg(path);
    }
    return QStringLiteral("Cannot open %1: %2").arg(path, errorText);
}

bool meansDeviceGone(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}
