#include "platform/serial/SerialCommControl.h"

#include "platform/serial/FailureReasons.h"
#include "tools/modemsim/PseudoTerminal.h"

#include <QTemporaryDir>
#include <asm/termbits.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/ioctl.h>

namespace
{

TEST(LineSettings, ParsesFourFieldsAndRefusesAnyOther)
{
    using P = QSerialPort;
    const struct {
        const char* text;
        LineSettings expected;
    } rows[] = {
        {"128000,N,8,1", LineSettings{128000, P::NoParity, P::Data8, P::OneStop}},
        {"9600,e,7,2", LineSettings{9600, P::EvenParity, P::Data7, P::TwoStop}},
        {" 4800 , O , 5 , 1 ", LineSettings{4800, P::OddParity, P::Data5, P::OneStop}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseLineSettings(QString::fromLatin1(row.text)), row.expected) << row.text;
    for (const char* refused :
         {"128000,N,8", "128000,N,8,1,1", "128000,X,8,1", "128000,,8,1", "128000,N,4,1",
          "128000,N,9,1", "128000,N,8,1.5", "0,N,8,1", "fast,N,8,1", ""})
        EXPECT_EQ(parseLineSettings(QString::fromLatin1(refused)), std::nullopt) << refused;
}

// Port 0 is the first stick's node, the one most users have.
TEST(UsbSerialPortPath, NumbersTheTtyUsbNodesFromZero)
{
    EXPECT_EQ(usbSerialPortPath(0), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(usbSerialPortPath(-1), QString());
}

// A missing node and a port held by another program are the opening tests' cases below.
TEST(OpenFailureReason, TellsTheUserWhatToDo)
{
    const struct {
        DeviceAccess access;
        QSerialPort::SerialPortError error;
        const char* expected;
    } rows[] = {
        {DeviceAccess::Denied, QSerialPort::PermissionError,
         "Permission denied: add your user to the dialout group"},
        {DeviceAccess::Accessible, QSerialPort::UnsupportedOperationError,
         "/dev/ttyUSB2 is not a serial port"},
        {DeviceAccess::Accessible, QSerialPort::OpenError, "Cannot open /dev/ttyUSB2: Qt text"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(openFailureReason("/dev/ttyUSB2", row.access, row.error, "Qt text"),
                  QString::fromLatin1(row.expected));
}

// Each test plays the modem on a pseudo-terminal, port 3; other numbers map to nodes that do not
// exist.
class SerialCommControlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(modem.open(&error)) << error.toStdString();
        ASSERT_TRUE(missingDir.isValid());
    }

    SerialCommControl makePort()
    {
        return SerialCommControl([this](qint16 number) {
            return number < 0    ? QString()
                   : number == 3 ? modem.secondaryPath()
                                 : missingDir.filePath(QString("ttyUSB%1").arg(number));
        });
    }

    // The opening sequence as the monitor runs it.
    static bool openPort(CommControl& port, qint16 number)
    {
        port.clearFailures();
        port.setCommPort(number);
        port.setSettings(QStringLiteral("128000,N,8,1"));
        port.setHandshaking(0);
        port.setInputLen(0);
        port.setPortOpen(true);
        return !port.anyFailed();
    }

    modemsim::PseudoTerminal modem;
    QTemporaryDir missingDir;
    SerialCommControl port = makePort();
};

TEST_F(SerialCommControlTest, AnOpenedPortReadsAndWrites)
{
    ASSERT_TRUE(openPort(port, 3)) << port.lastFailure().toStdString();
    ASSERT_TRUE(port.setOutput(QStringLiteral("AT+CSQ\r")));
    EXPECT_EQ(modem.receive(7), QByteArray("AT+CSQ\r"));

    // Each read returns what came since the last one: a reply sent in one go whole, however
    // long, bytes outside ASCII as they were, and nothing as empty text, which is no failure.
    const QByteArray sent[] = {"", QByteArray("\r\n+COPS: 0,0,\"Operator\",2\r\n").repeated(60),
                               "\xe9\xff"};
    for (const QByteArray& bytes : sent) {
        ASSERT_TRUE(modem.send(bytes));
        EXPECT_EQ(port.Input(), QString::fromLatin1(bytes));
    }
    EXPECT_FALSE(port.anyFailed());

    // Named by its path instead, under a number that names no device; a number names it again.
    port.setPortOpen(false);
    ASSERT_TRUE(port.setCommPort(5) && port.setDevicePath(modem.secondaryPath()));
    ASSERT_TRUE(port.setPortOpen(true)) << port.lastFailure().toStdString();
    EXPECT_TRUE(port.setOutput(QStringLiteral("AT\r")) && modem.receive(3) == "AT\r");
    EXPECT_FALSE(port.setDevicePath(QStringLiteral("/dev/null"))) << "not while open";
    port.setPortOpen(false);
    ASSERT_TRUE(port.setCommPort(5));
    EXPECT_FALSE(port.setPortOpen(true)) << "ttyUSB5 of the empty folder";
}

// Settings given to a closed port take effect when it opens, and on an open port at once (on a
// pty the master's termios requests reach the slave's settings). A pty keeps eight data bits
// without parity (an open one refuses others), so the rows read what it keeps: the rate, odd
// parity's flag, the stop bits and the handshaking. InputLen bounds one read.
TEST_F(SerialCommControlTest, LineSettingsTakeEffectGivenBeforeOpeningOrWhileOpen)
{
    const struct {
        const char* shows;
        bool whileOpen;       // opened first as the monitor does ("128000,N,8,1", no handshaking)
        const char* settings; // null: left as they are
        int handshaking;      // -1: left as it is
        int inputLen;
        speed_t speed;
        tcflag_t cflag; // of PARODD, CSTOPB and CRTSCTS
        tcflag_t iflag; // of IXON and IXOFF
    } rows[] = {
        {"all given before opening", false, "9600,O,7,2", 2, 1, 9600, PARODD | CSTOPB | CRTSCTS, 0},
        {"settings on an open port", true, "57600,N,8,2", -1, 3, 57600, CSTOPB, 0},
        {"the monitor's line, then handshaking", true, nullptr, 1, 4, 128000, 0, IXON | IXOFF},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        SerialCommControl line = makePort();
        ASSERT_TRUE(row.whileOpen ? openPort(line, 3) : line.setCommPort(3));
        EXPECT_TRUE(!row.settings || line.setSettings(row.settings));
        EXPECT_TRUE(row.handshaking < 0 || line.setHandshaking(row.handshaking));
        EXPECT_TRUE(line.setInputLen(row.inputLen));
        ASSERT_TRUE(line.PortOpen() || line.setPortOpen(true));
        EXPECT_FALSE(line.anyFailed()) << line.lastFailure().toStdString();
        termios2 kept{};
        ASSERT_EQ(::ioctl(modem.fd(), TCGETS2, &kept), 0);
        EXPECT_EQ(kept.c_ospeed, row.speed);
        EXPECT_EQ(kept.c_cflag & (PARODD | CSTOPB | CRTSCTS), row.cflag);
        EXPECT_EQ(kept.c_iflag & (IXON | IXOFF), row.iflag);
        ASSERT_TRUE(modem.send("ABCDEF"));
        EXPECT_EQ(line.Input(), QStringLiteral("ABCDEF").left(row.inputLen));
    }
}

TEST_F(SerialCommControlTest, ASecondHolderOfTheDeviceCannotOpenIt)
{
    ASSERT_TRUE(openPort(port, 3));
    SerialCommControl second = makePort();
    EXPECT_FALSE(openPort(second, 3) || second.PortOpen());
    EXPECT_TRUE(second.lastFailure().contains(QStringLiteral("in use by another program")))
        << second.lastFailure().toStdString();
    // The holder still owns a working port; once it lets go the device is free again.
    ASSERT_TRUE(modem.send("OK\r\n"));
    EXPECT_EQ(port.Input(), QStringLiteral("OK\r\n"));
    ASSERT_TRUE(port.setPortOpen(false));
    EXPECT_TRUE(openPort(second, 3)) << second.lastFailure().toStdString();
}

// Every step of a sequence runs, and one failure marks it all until the failures are cleared.
TEST_F(SerialCommControlTest, RefusedStepsFailAndLeaveThePortAsItWas)
{
    const auto failsAlone = [this](const std::function<bool()>& step) {
        port.clearFailures();
        return !step() && port.anyFailed();
    };
    // A closed port fails reads, writes and closing, and keeps its number on a bad one.
    EXPECT_TRUE(failsAlone([this] { return port.Input().has_value(); }));
    EXPECT_TRUE(failsAlone([this] { return port.setOutput(QStringLiteral("AT\r")); }));
    EXPECT_TRUE(failsAlone([this] { return port.setPortOpen(false); }));
    EXPECT_TRUE(failsAlone([this] { return port.setCommPort(-2); }));
    EXPECT_EQ(port.CommPort(), 1);
    // Bad settings fail, yet the rest of the sequence runs.
    EXPECT_TRUE(failsAlone([this] { return port.setSettings("128000,N,9,1"); }));
    EXPECT_TRUE(port.setCommPort(3) && port.setPortOpen(true) && port.anyFailed());
    EXPECT_TRUE(port.lastFailure().contains(QStringLiteral("128000,N,9,1")));
    port.clearFailures();
    EXPECT_FALSE(port.anyFailed());
    ASSERT_TRUE(port.setPortOpen(false));
    // A port whose node does not exist stays closed.
    EXPECT_FALSE(openPort(port, 7) || port.PortOpen());
    EXPECT_TRUE(port.lastFailure().startsWith("No such device: " + missingDir.filePath("ttyUSB7")))
        << port.lastFailure().toStdString();
    // An open port refuses a second opening and a new number, and still works.
    ASSERT_TRUE(openPort(port, 3));
    EXPECT_FALSE(openPort(port, 3));
    EXPECT_TRUE(failsAlone([this] { return port.setCommPort(4); }));
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_TRUE(port.setOutput(QStringLiteral("AT\r")));
}

// A pulled stick hangs up its tty: the port says so once, and fails at once from then on,
// so a caller's loop of reads does not wait on a dead device.
TEST_F(SerialCommControlTest, AHungUpDeviceIsLostAndFailsReadsAndWrites)
{
    ASSERT_TRUE(openPort(port, 3));
    EXPECT_FALSE(port.deviceLost());
    modem.close();
    port.clearFailures();
    EXPECT_EQ(port.Input(), std::nullopt);
    EXPECT_TRUE(port.anyFailed() && port.deviceLost() && port.PortOpen());
    EXPECT_FALSE(port.setOutput(QStringLiteral("AT\r")));
    EXPECT_EQ(port.Input(), std::nullopt);
    EXPECT_TRUE(port.setPortOpen(false));
}

} // namespace
