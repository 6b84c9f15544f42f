#include "tools/modemsim/PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace modemsim
{

namespace
{
QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open(QString* error)
{
    close();
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    char name[128];
    if (grantpt(fd_) != 0 || unlockpt(fd_) != 0 || ptsname_r(fd_, name, sizeof name) != 0) {
        *error = systemError("pseudo-terminal set-up");
        close();
        return false;
    }
    // Termios calls on the primary side act on the secondary: raw mode here is what a client
    // finds on opening, so nothing echoes our replies back to us or rewrites CR and LF.
    termios tio{};
    if (tcgetattr(fd_, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tcsetattr(fd_, TCSANOW, &tio);
    }
    heldFd_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (heldFd_ < 0) {
        *error = systemError("opening the secondary side");
        close();
        return false;
    }
    notifyFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notifyFd_ < 0 || inotify_add_watch(notifyFd_, name, IN_OPEN | IN_CLOSE) < 0) {
        *error = systemError("following the secondary side with inotify");
        close();
        return false;
    }
    openCount_ = 0;
    path_ = QString::fromLocal8Bit(name);
    return true;
}

void PseudoTerminal::close()
{
    closeFd(notifyFd_);
    closeFd(heldFd_);
    closeFd(fd_);
    openCount_ = 0;
    path_.clear();
}

PseudoTerminal::ClientNews PseudoTerminal::takeClientNews()
{
    ClientNews news;
    if (notifyFd_ < 0)
        return news;
    alignas(inotify_event) char buffer[4096];
    ssize_t n;
    while ((n = ::read(notifyFd_, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_Q_OVERFLOW) {
                // Count lost: assume one client stayed, and that the port changed hands.
                openCount_ = 1;
                news.left = news.arrived = true;
            } else if (event->mask & IN_OPEN) {
                news.arrived = news.arrived || openCount_ == 0;
                ++openCount_;
            } else if (event->mask & IN_CLOSE) {
                openCount_ = openCount_ > 0 ? openCount_ - 1 : 0;
                news.left = news.left || openCount_ == 0;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return news;
}

void PseudoTerminal::resetSecondary() const
{
    if (heldFd_ < 0)
        return;
    tcflush(heldFd_, TCIFLUSH);
    tcflush(fd_, TCOFLUSH);
    if (openCount_ == 0)
        ioctl(heldFd_, TIOCNXCL);
}

bool PseudoTerminal::send(const QByteArray& bytes) const
{
    return ::write(fd_, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

QByteArray PseudoTerminal::receive(qsizetype count, int timeoutMs) const
{
    QByteArray got;
    while (got.size() < count) {
        pollfd readable{fd_, POLLIN, 0};
        if (poll(&readable, 1, timeoutMs) <= 0)
            break;
        char chunk[256];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n <= 0)
            break;
        got.append(chunk, n);
    }
    return got;
}

} // namespace modemsim
