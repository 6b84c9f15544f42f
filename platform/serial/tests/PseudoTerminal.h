#pragma once

#include <QByteArray>
#include <QString>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

// A pseudo-terminal that stands in for a modem's serial port in tests: the program under test
// opens path(); the test plays the device through the master side.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            path_ = QString::fromLocal8Bit(::ptsname(master_));
        }
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return master_ >= 0 && !path_.isEmpty(); }
    // The device node a serial port opens, such as /dev/pts/3.
    QString path() const { return path_; }
    // The master side, for ioctls that look at the line settings the program applied.
    int masterFd() const { return master_; }

    // Sends bytes as the device, in one write.
    bool send(const QByteArray& bytes) const
    {
        return ::write(master_, bytes.constData(), bytes.size()) == bytes.size();
    }

    // What the program wrote to the device: waits until `count` bytes have come or `timeoutMs`
    // passes without any more.
    QByteArray receive(int count, int timeoutMs = 1000) const
    {
        QByteArray got;
        while (got.size() < count) {
            pollfd readable{master_, POLLIN, 0};
            if (::poll(&readable, 1, timeoutMs) <= 0) {
                break;
            }
            char chunk[256];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            got.append(chunk, n);
        }
        return got;
    }

    // Hangs up the device: the other side's reads fail from now on.
    void closeMaster()
    {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    QString path_;
};
