#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// A serial client that is not the monitor: opens a tty with plain termios (raw, 115200 8N1),
// writes, and reads with poll() and timeouts. Bytes read beyond what a call asked for are kept
// for the next call.
class PtyClient
{
public:
    explicit PtyClient(const QString& path)
    {
        fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            return;
        termios tio{};
        tcgetattr(fd_, &tio);
        cfmakeraw(&tio);
        cfsetspeed(&tio, B115200);
        tio.c_cflag |= CLOCAL | CREAD;
        tcsetattr(fd_, TCSANOW, &tio);
    }
    ~PtyClient() { close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    bool write(const QByteArray& bytes)
    {
        return ::write(fd_, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Everything up to and including the first `marker`; what came so far (without waiting
    // further) when the marker does not come within the time.
    QByteArray readUntil(const QByteArray& marker, int timeoutMs = 2000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!buffer_.contains(marker)) {
            const int left = timeoutMs - int(timer.elapsed());
            if (left <= 0 || !fill(left))
                return take(buffer_.size());
        }
        return take(buffer_.indexOf(marker) + marker.size());
    }

    // Exactly `count` bytes, or fewer when the time runs out.
    QByteArray readBytes(qsizetype count, int timeoutMs = 2000)
    {
        QElapsedTimer timer;
        timer.start();
        while (buffer_.size() < count) {
            const int left = timeoutMs - int(timer.elapsed());
            if (left <= 0 || !fill(left))
                break;
        }
        return take(std::min(count, buffer_.size()));
    }

    // What has arrived by now, without waiting.
    QByteArray readAvailable()
    {
        fill(0);
        return take(buffer_.size());
    }

    // True when the port has died: a read reports end of file or an error.
    bool readFails(int timeoutMs = 2000)
    {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return false;
        char c;
        return ::read(fd_, &c, 1) <= 0;
    }

private:
    // Reads what comes within the time; false on a timeout or a dead port.
    bool fill(int timeoutMs)
    {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return false;
        char chunk[4096];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n <= 0)
            return false;
        buffer_.append(chunk, n);
        return true;
    }

    QByteArray take(qsizetype count)
    {
        const QByteArray out = buffer_.left(count);
        buffer_.remove(0, count);
        return out;
    }

    int fd_ = -1;
    QByteArray buffer_;
};
