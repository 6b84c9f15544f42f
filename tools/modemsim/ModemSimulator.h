#pragma once

#include "tools/modemsim/AtReply.h"
#include "tools/modemsim/ModemState.h"
#include "tools/modemsim/UnsolicitedLines.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace modemsim
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// One command line the simulator received, and what became of its reply.
struct LogEntry {
    enum class Fate {
        Pending, // reply not yet (fully) written
        Written, // the last byte of the reply went out at `replied`
        Dropped, // no reply will come: silence, client gone, unplugged, or not a command line
    };

    QByteArray command;        // the line as received, without CR
    Clock::time_point arrived; // when its CR was read
    Fate fate = Fate::Pending;
    Clock::time_point replied; // valid when fate is Written
    QByteArray reply;          // the reply's bytes (without the echo); empty when Dropped

    bool answered() const { return fate == Fate::Written; }
};

// A Huawei 3G stick's AT-command port ("PC UI" interface) on a pseudo-terminal.
//
//   ModemSimulator sim;
//   ASSERT_TRUE(sim.start());
//   open(sim.secondaryPath()) ... write "AT+CSQ\r" ... read "\r\n+CSQ: 20,99\r\n\r\nOK\r\n"
//   sim.setRssi(5);
//   ASSERT_TRUE(sim.waitForReplies(2, 2000));
//
// The simulator serves on a thread of its own, so a client that blocks its thread in a tight
// read loop is answered on time. Every member may be called from any thread; setters take
// effect at once (a change the stick reports by itself, such as ^RSSI, goes out at once too).
// Clients may open, set any line settings (128000 bit/s and TIOCEXCL included), close and
// reopen the secondary side: the simulator keeps serving on the same path until unplug().
// As with a real stick's tty, what a client left unread when it closed the port is thrown away
// (and an exclusive hold it left is lifted); a reply that falls due while nobody holds the port
// is lost; one that falls due after a client opened it again goes to that client.
//
// Defaults: operator "TestNet" / 00101, 3G, rssi 20, registered, LAC 1A2B, cell 00C3D4E5,
// +COPS format 0, +CGREG n=0, echo on, 15 ms latency, no faults, no unsolicited reports.
class ModemSimulator
{
public:
    ModemSimulator();
    ~ModemSimulator(); // stops
    ModemSimulator(const ModemSimulator&) = delete;
    ModemSimulator& operator=(const ModemSimulator&) = delete;

    // --- Set-up (before start) ------------------------------------------------------------
    // Keep a symbolic link at this path to the current secondary side, like a udev name that
    // stays the same when the stick is pulled and plugged again. An existing file there that is
    // not a symbolic link makes start() fail.
    void setLinkPath(const QString& path);
    // Seed of the garbage and flood bytes (default 1), so that a failing run repeats.
    void setRandomSeed(quint32 seed);

    // --- Life -----------------------------------------------------------------------------
    bool start(); // opens the pseudo-terminal and starts serving; false with errorString()
    void stop();  // stops serving and closes the pseudo-terminal; start() may follow again
    bool isRunning() const;
    QString errorString() const;
    Clock::time_point startedAt() const;

    // The path for clients to open: the pseudo-terminal's secondary side (such as
    // "/dev/pts/3"); empty while unplugged or stopped.
    QString secondaryPath() const;
    // The link path if one was set (empty otherwise).
    QString linkPath() const;
    bool isClientConnected() const;
    // Waits until a client holds the port open (true) or none does (false).
    bool waitForClient(bool connected, int timeoutMs) const;

    // --- The stick's state ----------------------------------------------------------------
    ModemState state() const;
    void setOperator(const QString& longName, const QString& shortName, const QString& numeric);
    void clearOperator();   // "+COPS: 0"
    void setRssi(int rssi); // 0..31, 99 = no signal; other values are sent as they are
    void setTechnology(Technology technology); // what the network offers; ^SYSCFG may lock it
    void setRegistration(int status);          // a Registration:: value
    void setRegistered(bool registered);       // Home or NotRegistered
    void setLac(quint32 lac);
    void setCellId(quint32 cellId);
    void setCopsFormat(int format);          // 0 long, 1 short, 2 numeric
    void setQuotedRegistration(bool quoted); // +CGREG/+CREG fields in 3GPP quotes
    void setEcho(bool echo);                 // as ATE1/ATE0
    // Any other change, made atomically; reports follow as for the setters.
    void modifyState(const std::function<void(ModemState&)>& change);

    // --- Timing and faults ------------------------------------------------------------------
    void setLatency(milliseconds latency);     // from a command's CR to its reply (default 15)
    void setCopsLatency(milliseconds latency); // the same for AT+COPS? alone (default 15)
    // Cut every reply into several writes with `pause` between them.
    void setReplySplit(ReplySplit split, milliseconds pause);
    // No echo, no replies, no reports: commands that arrive meanwhile are logged as Dropped
    // and never answered. Garbage, floods and sendRaw still go out.
    void silenceFor(milliseconds duration);
    void silenceForever();
    void endSilence();
    bool isSilent() const;
    // Bytes sent while no client holds the port are lost, like everything else.
    void sendRaw(const QByteArray& bytes); // these bytes, now, as they are
    void sendGarbage(int bytes);           // random bytes, now
    // `bytes` random bytes spread at `bytesPerSecond` (0: as fast as the client reads).
    void flood(qint64 bytes, int bytesPerSecond);
    void stopFlood();
    // Pull the stick: the pseudo-terminal closes, the client's reads see end of file and its
    // writes fail, the path (and the link) disappear. replug() opens a new pseudo-terminal,
    // whose path may differ (the link path does not); the client must open it anew.
    void unplug();
    bool replug();
    // Plug it in under another name, as a stick that comes back as ttyUSB3 instead of ttyUSB2:
    // the link moves to `linkPath` (for good). While plugged, only the link moves.
    bool replug(const QString& linkPath);
    bool isPlugged() const;
    // Called after unplug() or replug() changed whether the stick is plugged, on the thread
    // that called them and without the simulator's lock held, so that it may call back in:
    // a stick's other faces (the HiLink web API) come and go with it.
    void setPlugObserver(std::function<void(bool plugged)> observer);
    // Switch a report on with its period, or off. A period of 0 sends no timed reports; ^RSSI
    // and ^MODE are also sent whenever the value they carry changes, while switched on.
    void setUnsolicited(Unsolicited kind, bool on, milliseconds period = milliseconds{0});

    // --- Command log --------------------------------------------------------------------------
    // Every non-empty line received, in order, kept until clearLog() (long benchmarks should
    // clear it now and then).
    std::vector<LogEntry> log() const;
    void clearLog();
    // Wait until the log holds at least `count` commands / `count` written replies / `count`
    // settled entries (Written or Dropped). False on timeout.
    bool waitForCommands(int count, int timeoutMs) const;
    bool waitForReplies(int count, int timeoutMs) const;
    bool waitForSettled(int count, int timeoutMs) const;
    // Called on the simulator's thread whenever an entry is settled (Written or Dropped). It
    // must not call waitFor...() but may call anything else.
    void setLogObserver(std::function<void(const LogEntry&)> observer);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace modemsim
