#pragma once

#include "platform/serial/CommControl.h"

#include <QString>
#include <atomic>
#include <functional>

// One exchange with the modem: write a command with one carriage return, then read in a tight
// loop until the reply holds "Error" or the end marker, or 500 reads were made. Each read
// replaces the reply text (a failed read keeps it); the read counter is 0 between transactions.
//
// Three more things end the loop, since it holds the monitor's thread while it runs: a port
// whose device went away (no read can succeed any more), a stop asked for by the program as it
// ends, and time. A silent modem ends at the read limit
// (each read waits about 1 ms, so 500 take about half a second); one that streams without pause
// fills every read up to the serial port's own limit of about 100 ms, so there the time window
// ends the loop first: no read starts later than kReadWindowMs after the command was written.
//
// The reply text and the read counter are shared by every transaction of the monitor, so one
// instance lives as long as the monitor; a reply that arrives after its transaction ended is
// picked up by the first read of the next one.
class AtTransaction
{
public:
    static constexpr qint16 kReadLimit = 500;
    static inline const QString kErrorMarker = QStringLiteral("Error");
    // End marker of "AT+COPS?"; every other command ends with kOkEndMarker.
    static inline const QString kCopsEndMarker = QStringLiteral("+COPS:");
    static inline const QString kOkEndMarker = QStringLiteral("OK\r\n");

    // No read starts later than this after the command went out: with the port's own bound on
    // one read, a transaction never lasts more than a second.
    static constexpr qint64 kReadWindowMs = 750;

    // Milliseconds on a monotonic clock.
    using Clock = std::function<qint64()>;
    static qint64 steadyMilliseconds();

    explicit AtTransaction(CommControl& port, Clock clock = steadyMilliseconds)
        : port_(port), clock_(std::move(clock))
    {
    }

    // How a refusal shows: the first queries of the cycle look for "Error" as it is written
    // (a stick's capitals "ERROR" do not match it and the wait goes on); the 4G queries, which
    // many sticks refuse, for the word in any case, so that a refusal costs one reply.
    enum class ErrorWord { AsWritten, AnyCase };

    // Sends `command` as given plus one carriage return, then reads until the reply ends (see
    // above) and sets the read counter back to 0. Write and read failures are ignored; the
    // caller learns how it went only from replyText().
    void run(const QString& command, const QString& endMarker,
             ErrorWord errorWord = ErrorWord::AsWritten);

    // Once `stop` is true, a running transaction ends after its next read, and later ones after
    // their first. The flag may be set from any thread.
    void stopWhen(const std::atomic<bool>& stop) { stop_ = &stop; }

    // `watcher` sees the text of every read that brought some, whatever the command: a stick
    // sends its unsolicited reports amid the replies.
    void watchReads(std::function<void(const QString&)> watcher) { watcher_ = std::move(watcher); }

    const QString& replyText() const { return replyText_; }
    void clearReplyText() { replyText_.clear(); }

    qint16 readCounter() const { return readCounter_; }
    void resetReadCounter() { readCounter_ = 0; }

private:
    CommControl& port_;
    Clock clock_;
    const std::atomic<bool>* stop_ = nullptr;
    std::function<void(const QString&)> watcher_;
    QString replyText_;
    qint16 readCounter_ = 0;
};
