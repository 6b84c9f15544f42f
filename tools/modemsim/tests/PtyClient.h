#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <unistd.h>
#include <utility>

// A serial client that is not the monitor: opens the tty as the simulator leaves it (raw),
// writes, and reads with poll() and time limits. Bytes read beyond what a call asked for are
// kept for the next call.
class PtyClient
{
public:
    explicit PtyClient(const QString& path)
        : fd_(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~PtyClient() { close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void close() { ::close(std::exchange(fd_, -1)); }
    bool write(const QByteArray& bytes)
    {
        return ::write(fd_, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Everything up to and including the first `marker`; what came so far when the marker does
    // not come within the time.
    QByteArray readUntil(const QByteArray& marker, int timeoutMs = 2000)
    {
        fill([&] { return buffer_.contains(marker); }, timeoutMs);
        const qsizetype at = buffer_.indexOf(marker);
        return readBytes(at < 0 ? buffer_.size() : at + marker.size(), 0);
    }
    // Exactly `count` bytes, or fewer when the time runs out.
    QByteArray readBytes(qsizetype count, int timeoutMs = 2000)
    {
        fill([&] { return buffer_.size() >= count; }, timeoutMs);
        return std::exchange(buffer_, buffer_.mid(count)).left(count);
    }

    // True when the port has died: a read reports end of file or an error.
    bool readFails(int timeoutMs = 2000)
    {
        pollfd p{fd_, POLLIN, 0};
        char c;
        return ::poll(&p, 1, timeoutMs) > 0 && ::read(fd_, &c, 1) <= 0;
    }

private:
    // Reads until `done` holds, the time runs out or the port dies.
    void fill(const std::function<bool()>& done, int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        pollfd p{fd_, POLLIN, 0};
        char chunk[4096];
        ssize_t n = 0;
        while (!done() && ::poll(&p, 1, int(deadline.remainingTime())) > 0 &&
               (n = ::read(fd_, chunk, sizeof chunk)) > 0)
            buffer_.append(chunk, n);
    }

    int fd_ = -1;
    QByteArray buffer_;
};
