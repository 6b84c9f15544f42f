// What the serial layer reads from the user's line settings and says when a port will not open.
#include "platform/serial/FailureReasons.h"
#include "platform/serial/LineSettings.h"

#include <gtest/gtest.h>

namespace
{

TEST(LineSettings, ParsesFourFieldsAndRefusesAnyOther)
{
    using P = QSerialPort;
    const struct {
        const char* text;
        std::optional<LineSettings> expected;
    } rows[] = {
        {"128000,N,8,1", LineSettings{128000, P::NoParity, P::Data8, P::OneStop}},
        {"9600,e,7,2", LineSettings{9600, P::EvenParity, P::Data7, P::TwoStop}},
        {" 4800 , O , 5 , 1 ", LineSettings{4800, P::OddParity, P::Data5, P::OneStop}},
        {"128000,N,8", std::nullopt},
        {"128000,N,8,1,1", std::nullopt},
        {"128000,X,8,1", std::nullopt},
        {"128000,,8,1", std::nullopt},
        {"128000,N,4,1", std::nullopt},
        {"128000,N,9,1", std::nullopt},
        {"128000,N,8,1.5", std::nullopt},
        {"0,N,8,1", std::nullopt},
        {"fast,N,8,1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseLineSettings(QString::fromLatin1(row.text)), row.expected) << row.text;
}

TEST(OpenFailureReason, TellsTheUserWhatToDo)
{
    const struct {
        DeviceAccess access;
        QSerialPort::SerialPortError error;
        const char* expected;
    } rows[] = {
        {DeviceAccess::Missing, QSerialPort::DeviceNotFoundError,
         "No such device: /dev/ttyUSB2 does not exist (is the modem plugged in?)"},
        {DeviceAccess::Denied, QSerialPort::PermissionError,
         "Permission denied: add your user to the dialout group"},
        {DeviceAccess::Accessible, QSerialPort::PermissionError,
         "/dev/ttyUSB2 is in use by another program (is ModemManager running?)"},
        {DeviceAccess::Accessible, QSerialPort::UnsupportedOperationError,
         "/dev/ttyUSB2 is not a serial port"},
        {DeviceAccess::Accessible, QSerialPort::OpenError, "Cannot open /dev/ttyUSB2: Qt text"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(openFailureReason("/dev/ttyUSB2", row.access, row.error, "Qt text"),
                  QString::fromLatin1(row.expected));
}

} // namespace
