#pragma once

#include <QByteArray>
#include <QString>

namespace modemsim
{

// A pseudo-terminal pair held by the simulator: it talks on the primary side, clients open the
// secondary side (secondaryPath()) like any serial device.
//
// The simulator keeps a descriptor of the secondary side open itself. Through it, it can do
// what the kernel does when the last user of a real stick's tty closes it: throw away the bytes
// nobody read and lift an exclusive hold (TIOCEXCL) that a client left behind. Which clients
// hold the port is followed through inotify, which reports every open and close of the
// secondary side in order, so a client that closes and at once opens again is not missed.
//
// Tests of a serial client play the device on it themselves, with send and receive.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Opens a new pair in raw mode, non-blocking. On failure returns false with a reason.
    bool open(QString* error);
    // Closes the pair: the client's reads see end of file and its writes fail, as when a stick
    // is pulled; the secondary path disappears.
    void close();

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Readable when a client opened or closed the secondary side.
    int notifyFd() const { return notifyFd_; }
    QString secondaryPath() const { return path_; }

    struct ClientNews {
        bool left = false;    // the last client closed the port
        bool arrived = false; // a client opened the port while no other held it
    };
    // What happened since the previous call, even if it has been undone since.
    ClientNews takeClientNews();
    // Whether some client holds the port, as of the last takeClientNews().
    bool clientPresent() const { return openCount_ > 0; }

    // Throws away what was written but not yet read, so that a later client does not read
    // what was meant for an earlier one; with no client there, lifts an exclusive hold too.
    void resetSecondary() const;

    // Writes bytes to the client in one write.
    bool send(const QByteArray& bytes) const;
    // What the client wrote: waits until `count` bytes have come or `timeoutMs` passes without
    // any more.
    QByteArray receive(qsizetype count, int timeoutMs = 1000) const;

private:
    int fd_ = -1;
    int heldFd_ = -1;
    int notifyFd_ = -1;
    int openCount_ = 0; // opens minus closes of the secondary side, ours excepted
    QString path_;
};

} // namespace modemsim
