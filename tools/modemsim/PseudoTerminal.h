#pragma once

#include <QString>

namespace modemsim
{

// The primary side of a pseudo-terminal pair, held by the simulator; clients open the secondary
// side (secondaryPath()) like any serial device.
//
// Linux tells the primary side whether a client holds the secondary open only after the
// secondary has been opened once (until then it reports no hang-up). open() therefore opens and
// closes the secondary itself once, so that "no client" reads the same before the first client
// as after the last one left.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Opens a new pair in raw mode, non-blocking. On failure returns false with a reason.
    bool open(QString* error);
    // Closes the primary side: the client's reads see end of file and its writes fail, as when
    // a stick is pulled; the secondary path disappears.
    void close();

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    QString secondaryPath() const { return path_; }

    // True while some client holds the secondary side open.
    bool clientPresent() const;
    // Throws away what was written but not yet read by a client, so that a later client does
    // not read what was meant for an earlier one.
    void discardUndelivered() const;

private:
    int fd_ = -1;
    QString path_;
};

} // namespace modemsim
