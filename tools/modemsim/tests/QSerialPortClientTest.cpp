// The monitor reaches the stick through QSerialPort, which locks the device (TIOCEXCL and a
// lock file) and sets 128000 bit/s through termios2. The simulator must serve such a client
// across closing and reopening.
#include "tools/modemsim/ModemSimulator.h"

#include <QSerialPort>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace modemsim;

namespace
{

// As the monitor reads: no event loop, short waits, until the end marker comes.
QByteArray transact(QSerialPort& port, const QByteArray& command)
{
    port.write(command + '\r');
    port.waitForBytesWritten(1000);
    QByteArray text;
    for (int i = 0; i < 2000 && !text.contains("OK\r\n") && !text.contains("ERROR"); ++i) {
        port.waitForReadyRead(1);
        text += port.readAll();
    }
    return text;
}

bool openLikeTheMonitor(QSerialPort& port)
{
    if (!port.open(QIODevice::ReadWrite))
        return false;
    return port.setBaudRate(128000) && port.setDataBits(QSerialPort::Data8) &&
           port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
           port.setFlowControl(QSerialPort::NoFlowControl);
}

} // namespace

TEST(QSerialPortClient, TalksAtTheMonitorsRateAcrossReopening)
{
    ModemSimulator sim;
    ASSERT_TRUE(sim.start());
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        QSerialPort port(sim.secondaryPath());
        ASSERT_TRUE(openLikeTheMonitor(port)) << port.errorString().toStdString();
        EXPECT_EQ(port.baudRate(), 128000);
        EXPECT_EQ(transact(port, "AT+CSQ"), "AT+CSQ\r\r\n+CSQ: 20,99\r\n\r\nOK\r\n");

        // While it is held, the port is the monitor's alone.
        QSerialPort second(sim.secondaryPath());
        EXPECT_FALSE(second.open(QIODevice::ReadWrite));
        port.close();
        ASSERT_TRUE(sim.waitForClient(false, 2000));
    }
    // Closing gave up the exclusive hold too, so any client (root or not) may open it next.
    const int fd = ::open(sim.secondaryPath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    int exclusive = -1;
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(fd);
}
