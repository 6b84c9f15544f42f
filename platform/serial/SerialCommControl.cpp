#include "platform/serial/SerialCommControl.h"

#include "platform/serial/DeviceHolders.h"
#include "platform/serial/FailureReasons.h"

#include <QElapsedTimer>

namespace
{

// A read that finds nothing waits this long for a first byte.
constexpr int firstByteWaitMs = 1;
// Once bytes arrive, a read keeps collecting while the next ones follow within this gap.
constexpr int burstGapMs = 2;
// A device that never pauses must not hold one read for ever: the monitor's window waits on it.
constexpr int burstLimitMs = 100;
// Writing a command takes microseconds; this only bounds a port stuck in flow control.
constexpr int writeLimitMs = 100;

} // namespace

QString usbSerialPortPath(qint16 number)
{
    if (number < 0) {
        return {};
    }
    return QStringLiteral("/dev/ttyUSB%1").arg(number);
}

SerialCommControl::SerialCommControl(PortPathMapper portPath) : portPath_(std::move(portPath)) {}

bool SerialCommControl::fail(const QString& reason)
{
    failed_ = true;
    lastFailure_ = reason;
    return false;
}

bool SerialCommControl::setCommPort(qint16 number)
{
    if (serial_.isOpen()) {
        return fail(
            QStringLiteral("The port number cannot change while port %1 is open").arg(port_));
    }
    if (portPath_(number).isEmpty()) {
        return fail(QStringLiteral("%1 is not a serial port number").arg(number));
    }
    port_ = number;
    devicePath_.clear();
    return true;
}

bool SerialCommControl::setDevicePath(const QString& path)
{
    if (serial_.isOpen()) {
        return fail(QStringLiteral("The port cannot change while %1 is open").arg(portPath()));
    }
    devicePath_ = path;
    return true;
}

bool SerialCommControl::heldByAnotherProgram(qint16 number) const
{
    const QString path = portPath_(number);
    return !path.isEmpty() && openedByAnotherProcess(path);
}

bool SerialCommControl::setSettings(const QString& settings)
{
    const auto parsed = parseLineSettings(settings);
    if (!parsed) {
        return fail(QStringLiteral("Invalid line settings \"%1\"").arg(settings));
    }
    line_ = *parsed;
    return !serial_.isOpen() || applyLineSettings();
}

bool SerialCommControl::setHandshaking(int handshaking)
{
    switch (handshaking) {
    case 0:
        flow_ = QSerialPort::NoFlowControl;
        break;
    case 1:
        flow_ = QSerialPort::SoftwareControl;
        break;
    case 2:
        flow_ = QSerialPort::HardwareControl;
        break;
    default:
        // 3 (RTS and XON/XOFF together) has no counterpart in termios.
        return fail(QStringLiteral("Handshaking %1 is not supported").arg(handshaking));
    }
    return !serial_.isOpen() || applyLineSettings();
}

bool SerialCommControl::setInputLen(int inputLen)
{
    if (inputLen < 0) {
        return fail(QStringLiteral("Invalid input length %1").arg(inputLen));
    }
    inputLen_ = inputLen;
    return true;
}

bool SerialCommControl::setPortOpen(bool open)
{
    return open ? this->open() : close();
}

bool SerialCommControl::applyLineSettings()
{
    const bool applied = serial_.setBaudRate(line_.baudRate) && serial_.setParity(line_.parity) &&
                         serial_.setDataBits(line_.dataBits) &&
                         serial_.setStopBits(line_.stopBits) && serial_.setFlowControl(flow_);
    if (!applied) {
        const QString why = serial_.errorString();
        serial_.clearError();
        return fail(QStringLiteral("The line settings were refused: %1").arg(why));
    }
    return true;
}

bool SerialCommControl::open()
{
    if (serial_.isOpen()) {
        return fail(QStringLiteral("Port %1 is already open").arg(port_));
    }
    const QString path = portPath();
    if (path.isEmpty()) {
        return fail(QStringLiteral("%1 is not a serial port number").arg(port_));
    }
    serial_.setPortName(path);
    // While closed these only store the values; opening applies them.
    applyLineSettings();
    lost_ = false;
    if (!serial_.open(QIODevice::ReadWrite)) {
        const QString reason = openFailureReason(path, probeDeviceAccess(path), serial_.error(),
                                                 serial_.errorString());
        serial_.clearError();
        return fail(reason);
    }
    return true;
}

bool SerialCommControl::close()
{
    if (!serial_.isOpen()) {
        return fail(QStringLiteral("The port is not open"));
    }
    serial_.close();
    serial_.clearError();
    return true;
}

bool SerialCommControl::setOutput(const QString& text)
{
    if (!serial_.isOpen()) {
        return fail(QStringLiteral("Cannot write: the port is not open"));
    }
    if (lost_) {
        return fail(QStringLiteral("Cannot write: the device is gone"));
    }
    if (serial_.write(text.toLatin1()) < 0) {
        failInputOutput(QStringLiteral("Cannot write to the port"));
        return false;
    }
    QElapsedTimer writing;
    writing.start();
    while (serial_.bytesToWrite() > 0 && writing.elapsed() < writeLimitMs &&
           serial_.waitForBytesWritten(writeLimitMs)) {
    }
    if (serial_.bytesToWrite() > 0) {
        failInputOutput(QStringLiteral("Cannot write to the port"));
        return false;
    }
    return true;
}

void SerialCommControl::failInputOutput(const QString& what)
{
    if (meansDeviceGone(serial_.error())) {
        lost_ = true;
    }
    const QString why = serial_.errorString();
    serial_.clearError();
    fail(what + QStringLiteral(": ") + why);
}

// A wait that ends without data leaves TimeoutError behind, which is no fault of the port; any
// other error means the device went away or broke.
bool SerialCommControl::brokenAfterWait()
{
    const auto error = serial_.error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
        serial_.clearError();
        return false;
    }
    return true;
}

std::optional<QString> SerialCommControl::Input()
{
    if (!serial_.isOpen()) {
        fail(QStringLiteral("Cannot read: the port is not open"));
        return std::nullopt;
    }
    if (lost_) {
        fail(QStringLiteral("Cannot read: the device is gone"));
        return std::nullopt;
    }
    const auto enough = [this] { return inputLen_ > 0 && serial_.bytesAvailable() >= inputLen_; };
    if (serial_.bytesAvailable() == 0) {
        serial_.waitForReadyRead(firstByteWaitMs);
    }
    if (serial_.bytesAvailable() > 0) {
        QElapsedTimer burst;
        burst.start();
        while (!enough() && burst.elapsed() < burstLimitMs &&
               serial_.waitForReadyRead(burstGapMs)) {
        }
    }
    if (brokenAfterWait()) {
        failInputOutput(QStringLiteral("The port stopped working"));
        return std::nullopt;
    }
    const QByteArray data = inputLen_ > 0 ? serial_.read(inputLen_) : serial_.readAll();
    return QString::fromLatin1(data);
}
