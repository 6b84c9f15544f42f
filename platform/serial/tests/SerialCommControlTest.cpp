#include "platform/serial/SerialCommControl.h"

#include "tools/modemsim/PseudoTerminal.h"

#include <QTemporaryDir>
#include <asm/termbits.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>

namespace
{

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

    PortPathMapper mapper()
    {
        return [this](qint16 number) {
            if (number < 0) {
                return QString();
            }
            return number == 3 ? modem.secondaryPath()
                               : missingDir.filePath(QStringLiteral("ttyUSB%1").arg(number));
        };
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
    SerialCommControl port{mapper()};
};

TEST_F(SerialCommControlTest, AnOpenedPortHasTheLineSettingsAndWritesReachTheDevice)
{
    ASSERT_TRUE(openPort(port, 3)) << port.lastFailure().toStdString();
    // On a pty the master's termios requests reach the slave's settings.
    termios2 line{};
    ASSERT_EQ(::ioctl(modem.fd(), TCGETS2, &line), 0);
    EXPECT_EQ(line.c_ospeed, 128000u);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    ASSERT_TRUE(port.setOutput(QStringLiteral("AT+CSQ\r")));
    EXPECT_EQ(modem.receive(7), QByteArray("AT+CSQ\r"));
}

// Each read returns what came since the last one: a reply sent in one go whole, however long,
// bytes outside ASCII as they were, and nothing as empty text, which is no failure.
TEST_F(SerialCommControlTest, EachReadReturnsWhatCameSinceTheLast)
{
    ASSERT_TRUE(openPort(port, 3));
    const QByteArray sent[] = {"", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n",
                               QByteArray("\r\n+COPS: 0,0,\"Operator\",2\r\n").repeated(60),
                               "\xe9\xff", ""};
    for (const QByteArray& bytes : sent) {
        ASSERT_TRUE(modem.send(bytes));
        EXPECT_EQ(port.Input(), QString::fromLatin1(bytes));
    }
    EXPECT_FALSE(port.anyFailed());
}

TEST_F(SerialCommControlTest, InputLenLimitsOneReadAndKeepsTheRest)
{
    ASSERT_TRUE(openPort(port, 3));
    ASSERT_TRUE(port.setInputLen(4));
    ASSERT_TRUE(modem.send("ABCDEF"));
    EXPECT_EQ(port.Input(), QStringLiteral("ABCD"));
    EXPECT_EQ(port.Input(), QStringLiteral("EF"));
}

TEST_F(SerialCommControlTest, ASecondHolderOfTheDeviceCannotOpenIt)
{
    ASSERT_TRUE(openPort(port, 3));
    SerialCommControl second(mapper());
    EXPECT_FALSE(openPort(second, 3));
    EXPECT_FALSE(second.PortOpen());
    EXPECT_TRUE(second.lastFailure().contains(QStringLiteral("in use by another program")))
        << second.lastFailure().toStdString();

    // The holder still owns a working port; once it lets go the device is free again.
    ASSERT_TRUE(modem.send("OK\r\n"));
    EXPECT_EQ(port.Input(), QStringLiteral("OK\r\n"));
    ASSERT_TRUE(port.setPortOpen(false));
    EXPECT_TRUE(openPort(second, 3)) << second.lastFailure().toStdString();
}

TEST_F(SerialCommControlTest, RefusedStepsLeaveThePortAsItWas)
{
    EXPECT_FALSE(port.setCommPort(-2));
    EXPECT_EQ(port.CommPort(), 1);
    EXPECT_FALSE(openPort(port, 7));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(port.lastFailure().startsWith(QStringLiteral("No such device: ")));
    EXPECT_TRUE(port.lastFailure().contains(QStringLiteral("ttyUSB7")));
    ASSERT_TRUE(openPort(port, 3));
    EXPECT_FALSE(openPort(port, 3));
    EXPECT_FALSE(port.setCommPort(4));
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_TRUE(port.setOutput(QStringLiteral("AT\r")));
}

TEST_F(SerialCommControlTest, EveryStepRunsAndOneFailureMarksTheWholeSequence)
{
    port.clearFailures();
    EXPECT_FALSE(port.setSettings(QStringLiteral("128000,N,9,1")));
    EXPECT_TRUE(port.setCommPort(3));
    EXPECT_TRUE(port.setPortOpen(true));
    EXPECT_TRUE(port.anyFailed());
    EXPECT_TRUE(port.lastFailure().contains(QStringLiteral("128000,N,9,1")));
    port.clearFailures();
    EXPECT_FALSE(port.anyFailed());
}

TEST_F(SerialCommControlTest, AClosedPortFailsReadsWritesAndClosing)
{
    port.clearFailures();
    EXPECT_EQ(port.Input(), std::nullopt);
    EXPECT_TRUE(port.anyFailed());
    port.clearFailures();
    EXPECT_FALSE(port.setOutput(QStringLiteral("AT\r")));
    EXPECT_TRUE(port.anyFailed());
    port.clearFailures();
    EXPECT_FALSE(port.setPortOpen(false));
    EXPECT_TRUE(port.anyFailed());
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
    EXPECT_TRUE(port.anyFailed());
    EXPECT_TRUE(port.deviceLost());
    EXPECT_TRUE(port.PortOpen());
    EXPECT_FALSE(port.setOutput(QStringLiteral("AT\r")));
    EXPECT_EQ(port.Input(), std::nullopt);
    EXPECT_TRUE(port.setPortOpen(false));
}

} // namespace
