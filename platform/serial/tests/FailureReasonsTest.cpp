#include "platform/serial/FailureReasons.h"

#include <gtest/gtest.h>

namespace
{

struct ReasonRow {
    const char* name;
    DeviceAccess access;
    QSerialPort::SerialPortError error;
    const char* expected;
};

class OpenFailureReasonTest : public testing::TestWithParam<ReasonRow>
{
};

TEST_P(OpenFailureReasonTest, TellsTheUserWhatToDo)
{
    const auto& row = GetParam();
    EXPECT_EQ(openFailureReason(QStringLiteral("/dev/ttyUSB2"), row.access, row.error,
                                QStringLiteral("Some Qt text")),
              QString::fromLatin1(row.expected));
}

const ReasonRow reasonRows[] = {
    {"MissingNode", DeviceAccess::Missing, QSerialPort::DeviceNotFoundError,
     "No such device: /dev/ttyUSB2 does not exist (is the modem plugged in?)"},
    {"NotInDialoutGroup", DeviceAccess::Denied, QSerialPort::PermissionError,
     "Permission denied: add your user to the dialout group"},
    {"LockedByAnotherProgram", DeviceAccess::Accessible, QSerialPort::PermissionError,
     "/dev/ttyUSB2 is in use by another program (is ModemManager running?)"},
    {"NotATerminal", DeviceAccess::Accessible, QSerialPort::UnsupportedOperationError,
     "/dev/ttyUSB2 is not a serial port"},
    {"OtherErrorKeepsQtText", DeviceAccess::Accessible, QSerialPort::OpenError,
     "Cannot open /dev/ttyUSB2: Some Qt text"},
};

INSTANTIATE_TEST_SUITE_P(Rows, OpenFailureReasonTest, testing::ValuesIn(reasonRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
