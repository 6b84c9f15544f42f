#pragma once

#include "platform/serial/CommControl.h"
#include "platform/serial/LineSettings.h"

#include <QSerialPort>
#include <functional>

// Maps a port number to its device path; an empty path means that the number names no port.
using PortPathMapper = std::function<QString(qint16 number)>;

// Port N is /dev/ttyUSB<N>: the USB serial ports through which the stick appears on Linux.
QString usbSerialPortPath(qint16 number);

// The serial port control over QSerialPort.
//
// Reads wait a little: a read that finds nothing waits up to 1 ms for a first byte, and once
// bytes arrive it keeps collecting while more follow within 2 ms, for at most 100 ms. Callers
// poll in a loop bounded by a count of reads; a read that returned at once would let such a
// loop end in well under a millisecond, before any modem can answer, while this bounds a silent
// loop of 500 reads to about half a second and reads a reply that the device sends in one go
// whole. A device that streams without pause ends each read after 100 ms.
class SerialCommControl : public CommControl
{
public:
    explicit SerialCommControl(PortPathMapper portPath = usbSerialPortPath);

    bool setCommPort(qint16 number) override;
    qint16 CommPort() const override { return port_; }
    bool setDevicePath(const QString& path) override;
    bool setSettings(const QString& settings) override;
    bool setHandshaking(int handshaking) override;
    bool setInputLen(int inputLen) override;
    bool setPortOpen(bool open) override;
    bool PortOpen() const override { return serial_.isOpen(); }
    bool setOutput(const QString& text) override;
    std::optional<QString> Input() override;
    bool deviceLost() const override { return lost_; }

    void clearFailures() override { failed_ = false; }
    bool anyFailed() const override { return failed_; }
    QString lastFailure() const override { return lastFailure_; }
    void moveToThread(QThread* thread) override { serial_.moveToThread(thread); }
    // Looks through /proc for another process with the device open.
    bool heldByAnotherProgram(qint16 number) const override;

    // The device path the port is named by, or the current port number maps to.
    QString portPath() const { return devicePath_.isEmpty() ? portPath_(port_) : devicePath_; }

private:
    bool fail(const QString& reason);
    bool open();
    bool close();
    bool applyLineSettings();
    QByteArray collectBurst();
    bool brokenAfterWait();
    // Records a read or write failure; marks the device lost when the error means it is gone.
    void failInputOutput(const QString& what);

    PortPathMapper portPath_;
    QString devicePath_; // set by setDevicePath, cleared by setCommPort
    QSerialPort serial_;
    qint16 port_ = 1;
    LineSettings line_;
    QSerialPort::FlowControl flow_ = QSerialPort::NoFlowControl;
    int inputLen_ = 0;
    bool failed_ = false;
    bool lost_ = false;
    QString lastFailure_;
};
