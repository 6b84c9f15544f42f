#include "tools/modemsim/PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
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
} // namespace

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open(QString* error)
{
    close();
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    char name[128];
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name, sizeof name) != 0) {
        *error = systemError("pseudo-terminal setup");
        ::close(fd);
        return false;
    }
    // Termios calls on the primary side act on the secondary: raw mode here is what a client
    // finds on opening, so nothing echoes our replies back to us or rewrites CR and LF.
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tcsetattr(fd, TCSANOW, &tio);
    }
    const int probe = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0) {
        *error = systemError("opening the secondary side");
        ::close(fd);
        return false;
    }
    ::close(probe);
    fd_ = fd;
    path_ = QString::fromLocal8Bit(name);
    return true;
}

void PseudoTerminal::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    path_.clear();
}

bool PseudoTerminal::clientPresent() const
{
    if (fd_ < 0)
        return false;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & POLLHUP) == 0;
}

void PseudoTerminal::discardUndelivered() const
{
    if (fd_ >= 0)
        tcflush(fd_, TCOFLUSH);
}

} // namespace modemsim
