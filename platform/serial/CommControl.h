#pragma once

#include <QString>
#include <optional>

class QThread;

// The serial port as the monitor drives it: seven properties, set in a fixed order to open the
// port, then Output to write and Input to read.
//
// Every setter that can fail records the failure (with its reason) and returns false, so the
// opening sequence can run all its steps and ask once at the end whether any of them failed.
class CommControl
{
public:
    virtual ~CommControl() = default;

    // Port number. Fails while the port is open or for a number that names no port; on failure
    // the previous number stays (1 at first).
    virtual bool setCommPort(qint16 number) = 0;
    virtual qint16 CommPort() const = 0;
    // Names the port by its device path instead (a simulator's /dev/pts/N, a
    // /dev/serial/by-id/... link), until a port number is set again. Fails while the port is open.
    virtual bool setDevicePath(const QString& path) = 0;

    // Line settings such as "128000,N,8,1": rate, parity, data bits, stop bits.
    virtual bool setSettings(const QString& settings) = 0;
    // 0: no handshaking.
    virtual bool setHandshaking(int handshaking) = 0;
    // 0: a read returns everything received so far.
    virtual bool setInputLen(int inputLen) = 0;

    // true opens the port, false closes it. Opening fails when the port does not exist, is held
    // by another program or is already open. Closing a closed port fails quietly.
    virtual bool setPortOpen(bool open) = 0;
    virtual bool PortOpen() const = 0;

    // Writes the text unchanged; fails on a closed or broken port.
    virtual bool setOutput(const QString& text) = 0;

    // Everything received since the previous read, as text; empty text when nothing came.
    // nullopt when the read failed (closed or broken port): the caller keeps what it had.
    virtual std::optional<QString> Input() = 0;

    // True once a read or write failed in a way that means the device itself went away (the
    // stick was pulled, the line hung up), until the port is opened again. The port stays open
    // until the caller closes it.
    virtual bool deviceLost() const = 0;

    // Failure record of the steps since the last clear.
    virtual void clearFailures() = 0;
    virtual bool anyFailed() const = 0;
    // The reason for the most recent failure, in words for the user ("" when none).
    virtual QString lastFailure() const = 0;

    // Whether another program has port `number`'s device open, as far as this process can see.
    // A holder's lock file or TIOCEXCL keeps an opening out already, but not a holder that took
    // neither, nor TIOCEXCL when this process runs as root; asking a port whether it is the
    // modem must leave such a port alone too. A port that cannot tell says no.
    virtual bool heldByAnotherProgram(qint16 number) const
    {
        (void)number;
        return false;
    }

    // Hands the port to `thread`, whose calls it serves from then on; a port built on Qt
    // objects moves them there. Called from the thread the port serves now.
    virtual void moveToThread(QThread* thread) { (void)thread; }
};
