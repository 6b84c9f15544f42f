#include "tools/modemsim/ModemSimulator.h"

#include "tools/modemsim/AtResponder.h"
#include "tools/modemsim/LineAssembler.h"
#include "tools/modemsim/PseudoTerminal.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <random>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace modemsim
{

namespace
{

// A flood at a given rate goes out in slices this far apart.
constexpr milliseconds kFloodSlice{10};
// A flood "as fast as the client reads" keeps this much queued.
constexpr qsizetype kFloodBacklog = 16 * 1024;
// The data session that ^DSFLOWRPT describes.
constexpr quint32 kTxRate = 1200;
constexpr quint32 kRxRate = 5400;

bool isCopsRead(const QByteArray& line)
{
    return line.trimmed().toUpper() == "AT+COPS?";
}

struct UnsolicitedSetting {
    bool on = false;
    milliseconds period{0};
    Clock::time_point next;
};

// A piece of reply waiting for its time.
struct Scheduled {
    QByteArray bytes;
    qint64 logId = -1; // the command it answers; set on the reply's last piece only
};

} // namespace

struct ModemSimulator::Impl {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;

    // Set-up
    QString linkPath;

    // Life
    std::thread thread;
    bool running = false;
    bool stopping = false;
    int wakeFd = -1;
    QString error;
    Clock::time_point started;

    // Port
    PseudoTerminal pty;
    bool plugged = false;
    bool connected = false;
    LineAssembler assembler;

    // Stick
    ModemState state;
    std::array<UnsolicitedSetting, kUnsolicitedKinds> unsolicited;

    // Timing and faults
    milliseconds latency{15};
    milliseconds copsLatency{15};
    ReplySplit split = ReplySplit::Whole;
    milliseconds splitPause{0};
    bool silentForever = false;
    std::optional<Clock::time_point> silentUntil;
    qint64 floodLeft = 0;
    int floodRate = 0;
    Clock::time_point floodNext;
    std::mt19937 random{1};

    // Output: pieces waiting for their time, then bytes waiting for the client to take them.
    std::multimap<Clock::time_point, Scheduled> schedule;
    Clock::time_point lastReplyEnd;
    QByteArray outBuffer;
    qint64 queuedTotal = 0;
    qint64 writtenTotal = 0;
    std::deque<std::pair<qint64, qint64>> replyEnds; // (byte count at the reply's end, log id)

    // Log
    std::deque<LogEntry> log;
    qint64 firstLogId = 0;
    std::function<void(const LogEntry&)> observer;
    std::function<void(bool)> plugObserver;
    std::vector<LogEntry> settledSinceNotify;

    // --- helpers, all called with the mutex held ---

    void wake() const
    {
        if (wakeFd >= 0) {
            const quint64 one = 1;
            [[maybe_unused]] const auto n = ::write(wakeFd, &one, sizeof one);
        }
    }

    bool silent(Clock::time_point now) const
    {
        return silentForever || (silentUntil && now < *silentUntil);
    }

    LogEntry* entry(qint64 id)
    {
        const qint64 index = id - firstLogId;
        if (index < 0 || index >= static_cast<qint64>(log.size()))
            return nullptr;
        return &log[static_cast<size_t>(index)];
    }

    void settle(qint64 id, LogEntry::Fate fate, Clock::time_point when)
    {
        LogEntry* e = entry(id);
        if (!e || e->fate != LogEntry::Fate::Pending)
            return;
        e->fate = fate;
        if (fate == LogEntry::Fate::Written)
            e->replied = when;
        else
            e->reply.clear();
        settledSinceNotify.push_back(*e);
        changed.notify_all();
    }

    // Output the stick produces itself (echo, replies, reports): lost while nobody listens
    // or while the stick is silent.
    void say(const QByteArray& bytes, Clock::time_point now)
    {
        if (connected && !silent(now))
            queueRaw(bytes);
    }

    void queueRaw(const QByteArray& bytes)
    {
        if (!connected)
            return;
        outBuffer += bytes;
        queuedTotal += bytes.size();
    }

    QByteArray randomBytes(qint64 count)
    {
        QByteArray bytes(count, Qt::Uninitialized);
        std::uniform_int_distribution<int> byte(0, 255);
        for (char& c : bytes)
            c = static_cast<char>(byte(random));
        return bytes;
    }

    FlowCounters flowCounters(Clock::time_point now) const
    {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - started);
        FlowCounters c;
        c.seconds = static_cast<quint32>(seconds.count());
        c.txRate = kTxRate;
        c.rxRate = kRxRate;
        c.txTotal = quint64{kTxRate} * c.seconds;
        c.rxTotal = quint64{kRxRate} * c.seconds;
        return c;
    }

    void report(Unsolicited kind, Clock::time_point now)
    {
        say(framedReport(kind, state, flowCounters(now)), now);
    }

    // Reports that a change of the stick's state sets off.
    void reportChanges(const ModemState& before, Clock::time_point now)
    {
        if (unsolicited[int(Unsolicited::Rssi)].on && before.rssi != state.rssi)
            report(Unsolicited::Rssi, now);
        if (unsolicited[int(Unsolicited::Mode)].on && modeReport(before) != modeReport(state))
            report(Unsolicited::Mode, now);
    }

    void changeState(const std::function<void(ModemState&)>& change)
    {
        refreshClient();
        const ModemState before = state;
        change(state);
        reportChanges(before, Clock::now());
        wake();
    }

    // What was written but not yet taken by the client is lost with it, as in a tty closed
    // on a real stick. Replies the stick has yet to send go out when due, to whoever holds the
    // port by then.
    void dropUndelivered()
    {
        const auto now = Clock::now();
        for (const auto& [end, id] : replyEnds)
            settle(id, LogEntry::Fate::Dropped, now);
        replyEnds.clear();
        outBuffer.clear();
        queuedTotal = writtenTotal = 0;
        assembler.reset();
        pty.resetSecondary();
    }

    // The stick is pulled or stopped: nothing more goes out.
    void dropEverything()
    {
        const auto now = Clock::now();
        for (const auto& [due, piece] : schedule)
            if (piece.logId >= 0)
                settle(piece.logId, LogEntry::Fate::Dropped, now);
        schedule.clear();
        lastReplyEnd = now;
        floodLeft = 0;
        dropUndelivered();
    }

    void setConnected(bool nowConnected)
    {
        if (nowConnected == connected)
            return;
        dropUndelivered();
        connected = nowConnected;
        changed.notify_all();
    }

    bool openPort()
    {
        if (!pty.open(&error))
            return false;
        plugged = true;
        connected = false;
        if (!linkPath.isEmpty() && !placeLink()) {
            pty.close();
            plugged = false;
            return false;
        }
        return true;
    }

    void closePort()
    {
        setConnected(false);
        dropEverything();
        pty.close();
        plugged = false;
        removeLink();
        changed.notify_all();
    }

    // Points the link at the current secondary side, replacing an old link in one step.
    bool placeLink()
    {
        const QFileInfo existing(linkPath);
        if (existing.exists() && !existing.isSymLink()) {
            error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
            return false;
        }
        const QString temporary = linkPath + QStringLiteral(".new");
        QFile::remove(temporary);
        if (symlink(QFile::encodeName(pty.secondaryPath()).constData(),
                    QFile::encodeName(temporary).constData()) != 0 ||
            rename(QFile::encodeName(temporary).constData(),
                   QFile::encodeName(linkPath).constData()) != 0) {
            error = QStringLiteral("cannot place the link %1").arg(linkPath);
            QFile::remove(temporary);
            return false;
        }
        return true;
    }

    void removeLink()
    {
        if (!linkPath.isEmpty() && QFileInfo(linkPath).isSymLink())
            QFile::remove(linkPath);
    }

    // --- the serving thread ---

    void handleLine(const QByteArray& line, Clock::time_point now)
    {
        if (line.isEmpty())
            return;
        const qint64 id = firstLogId + static_cast<qint64>(log.size());
        log.push_back(LogEntry{line, now, LogEntry::Fate::Pending, {}, {}});
        changed.notify_all();
        if (silent(now) || !connected) {
            settle(id, LogEntry::Fate::Dropped, now);
            return;
        }
        const ModemState before = state;
        const AtReply reply = respond(state, line);
        reportChanges(before, now);
        const QList<QByteArray> pieces = splitReply(reply, split);
        if (pieces.isEmpty()) {
            settle(id, LogEntry::Fate::Dropped, now);
            return;
        }
        log.back().reply = reply.wire();
        Clock::time_point due =
            std::max(now + (isCopsRead(line) ? copsLatency : latency), lastReplyEnd);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                due += splitPause;
            const bool last = i + 1 == pieces.size();
            schedule.emplace(due, Scheduled{pieces[i], last ? id : -1});
        }
        lastReplyEnd = due;
    }

    void readInput(Clock::time_point now)
    {
        if (!plugged)
            return;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(pty.fd(), buffer, sizeof buffer);
            if (n <= 0)
                return; // EAGAIN: all read
            for (ssize_t i = 0; i < n; ++i) {
                if (state.echo)
                    say(QByteArray(1, buffer[i]), now);
                if (auto line = assembler.feed(buffer[i]))
                    handleLine(*line, now);
            }
        }
    }

    void releaseDue(Clock::time_point now)
    {
        if (silentUntil && now >= *silentUntil)
            silentUntil.reset();
        while (!schedule.empty() && schedule.begin()->first <= now) {
            const Scheduled piece = schedule.begin()->second;
            schedule.erase(schedule.begin());
            if (connected && !silent(now)) {
                queueRaw(piece.bytes);
                if (piece.logId >= 0)
                    replyEnds.emplace_back(queuedTotal, piece.logId);
            } else if (piece.logId >= 0) {
                settle(piece.logId, LogEntry::Fate::Dropped, now);
            }
        }
        for (int kind = 0; kind < kUnsolicitedKinds; ++kind) {
            UnsolicitedSetting& u = unsolicited[kind];
            if (u.on && u.period.count() > 0 && now >= u.next) {
                report(static_cast<Unsolicited>(kind), now);
                u.next = now + u.period;
            }
        }
        releaseFlood(now);
    }

    void releaseFlood(Clock::time_point now)
    {
        if (floodLeft <= 0)
            return;
        if (floodRate == 0 && !connected) {
            floodLeft = 0; // nobody reads it: all of it is lost at once
            return;
        }
        qint64 count = 0;
        if (floodRate == 0) {
            count = std::max<qint64>(0, kFloodBacklog - outBuffer.size());
        } else if (now >= floodNext) {
            count = std::max<qint64>(1, qint64{floodRate} * kFloodSlice.count() / 1000);
            floodNext = now + kFloodSlice;
        }
        count = std::min(count, floodLeft);
        if (count == 0)
            return;
        floodLeft -= count;
        queueRaw(randomBytes(count));
    }

    void writeOutput()
    {
        if (!connected || outBuffer.isEmpty())
            return;
        const ssize_t n = ::write(pty.fd(), outBuffer.constData(), size_t(outBuffer.size()));
        if (n <= 0)
            return; // full (wait for room) or the client just left (seen next round)
        outBuffer.remove(0, n);
        writtenTotal += n;
        const auto now = Clock::now();
        while (!replyEnds.empty() && replyEnds.front().first <= writtenTotal) {
            settle(replyEnds.front().second, LogEntry::Fate::Written, now);
            replyEnds.pop_front();
        }
    }

    // How long the thread may sleep before something falls due.
    int pollTimeout(Clock::time_point now) const
    {
        std::optional<Clock::time_point> next;
        auto consider = [&next](Clock::time_point t) {
            if (!next || t < *next)
                next = t;
        };
        if (!schedule.empty())
            consider(schedule.begin()->first);
        for (const UnsolicitedSetting& u : unsolicited)
            if (u.on && u.period.count() > 0)
                consider(u.next);
        if (floodLeft > 0 && floodRate > 0)
            consider(floodNext);
        if (floodLeft > 0 && floodRate == 0 && outBuffer.isEmpty())
            consider(now); // all taken: top up at once; while some is left, room wakes us
        if (silentUntil)
            consider(*silentUntil);
        if (!next)
            return -1;
        const auto wait = std::chrono::ceil<milliseconds>(*next - now).count();
        return static_cast<int>(std::clamp<long long>(wait, 0, 60'000));
    }

    // Takes in which clients opened and closed the port. Called by every path that sends,
    // so that output for a client that has just opened the port reaches it.
    void refreshClient()
    {
        if (!plugged)
            return;
        // A client that came or went, even one that came back at once, starts afresh.
        const PseudoTerminal::ClientNews news = pty.takeClientNews();
        if (news.left || news.arrived)
            dropUndelivered();
        setConnected(pty.clientPresent());
    }

    void serveOnce(Clock::time_point now)
    {
        refreshClient();
        readInput(now);
        releaseDue(now);
        writeOutput();
    }

    void run()
    {
        std::unique_lock lock(mutex);
        while (!stopping) {
            serveOnce(Clock::now());

            std::array<pollfd, 3> fds{};
            nfds_t count = 0;
            fds[count++] = {wakeFd, POLLIN, 0};
            if (plugged) {
                fds[count++] = {pty.notifyFd(), POLLIN, 0};
                const bool waitForRoom = connected && !outBuffer.isEmpty();
                fds[count++] = {pty.fd(), short(waitForRoom ? POLLIN | POLLOUT : POLLIN), 0};
            }
            const int timeout = pollTimeout(Clock::now());
            std::vector<LogEntry> settled;
            settled.swap(settledSinceNotify);
            const auto notify = observer;

            lock.unlock();
            if (notify)
                for (const LogEntry& e : settled)
                    notify(e);
            poll(fds.data(), count, timeout);
            if (fds[0].revents & POLLIN) {
                quint64 drained;
                [[maybe_unused]] const auto n = ::read(wakeFd, &drained, sizeof drained);
            }
            lock.lock();
        }
    }
};

ModemSimulator::ModemSimulator() : d(std::make_unique<Impl>()) {}

ModemSimulator::~ModemSimulator()
{
    stop();
}

void ModemSimulator::setLinkPath(const QString& path)
{
    std::lock_guard lock(d->mutex);
    d->linkPath = path;
}

void ModemSimulator::setRandomSeed(quint32 seed)
{
    std::lock_guard lock(d->mutex);
    d->random.seed(seed);
}

bool ModemSimulator::start()
{
    std::lock_guard lock(d->mutex);
    if (d->running)
        return true;
    d->error.clear();
    d->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (d->wakeFd < 0) {
        d->error = QStringLiteral("eventfd failed");
        return false;
    }
    if (!d->openPort()) {
        ::close(d->wakeFd);
        d->wakeFd = -1;
        return false;
    }
    d->started = d->lastReplyEnd = Clock::now();
    for (UnsolicitedSetting& u : d->unsolicited)
        u.next = d->started + u.period;
    d->stopping = false;
    d->running = true;
    d->thread = std::thread([impl = d.get()] { impl->run(); });
    return true;
}

void ModemSimulator::stop()
{
    {
        std::lock_guard lock(d->mutex);
        if (!d->running)
            return;
        d->stopping = true;
        d->wake();
    }
    d->thread.join();
    std::lock_guard lock(d->mutex);
    d->closePort();
    ::close(d->wakeFd);
    d->wakeFd = -1;
    d->running = false;
}

bool ModemSimulator::isRunning() const
{
    std::lock_guard lock(d->mutex);
    return d->running;
}

QString ModemSimulator::errorString() const
{
    std::lock_guard lock(d->mutex);
    return d->error;
}

Clock::time_point ModemSimulator::startedAt() const
{
    std::lock_guard lock(d->mutex);
    return d->started;
}

QString ModemSimulator::secondaryPath() const
{
    std::lock_guard lock(d->mutex);
    return d->pty.secondaryPath();
}

QString ModemSimulator::linkPath() const
{
    std::lock_guard lock(d->mutex);
    return d->linkPath;
}

bool ModemSimulator::isClientConnected() const
{
    std::lock_guard lock(d->mutex);
    d->refreshClient();
    return d->connected;
}

bool ModemSimulator::waitForClient(bool connected, int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, milliseconds(timeoutMs), [&] {
        d->refreshClient();
        return d->connected == connected;
    });
}

ModemState ModemSimulator::state() const
{
    std::lock_guard lock(d->mutex);
    return d->state;
}

void ModemSimulator::modifyState(const std::function<void(ModemState&)>& change)
{
    std::lock_guard lock(d->mutex);
    d->changeState(change);
}

void ModemSimulator::setOperator(const QString& longName, const QString& shortName,
                                 const QString& numeric)
{
    modifyState([&](ModemState& s) {
        s.hasOperator = true;
        s.operatorLong = longName;
        s.operatorShort = shortName;
        s.operatorNumeric = numeric;
    });
}

void ModemSimulator::clearOperator()
{
    modifyState([](ModemState& s) { s.hasOperator = false; });
}

void ModemSimulator::setRssi(int rssi)
{
    modifyState([rssi](ModemState& s) { s.rssi = rssi; });
}

void ModemSimulator::setTechnology(Technology technology)
{
    modifyState([technology](ModemState& s) { s.networkTechnology = technology; });
}

void ModemSimulator::setRegistration(int status)
{
    modifyState([status](ModemState& s) { s.registration = status; });
}

void ModemSimulator::setRegistered(bool registered)
{
    setRegistration(registered ? Registration::Home : Registration::NotRegistered);
}

void ModemSimulator::setLac(quint32 lac)
{
    modifyState([lac](ModemState& s) { s.lac = lac; });
}

void ModemSimulator::setCellId(quint32 cellId)
{
    modifyState([cellId](ModemState& s) { s.cellId = cellId; });
}

void ModemSimulator::setCopsFormat(int format)
{
    modifyState([format](ModemState& s) { s.copsFormat = format; });
}

void ModemSimulator::setQuotedRegistration(bool quoted)
{
    modifyState([quoted](ModemState& s) { s.quotedRegistration = quoted; });
}

void ModemSimulator::setEcho(bool echo)
{
    modifyState([echo](ModemState& s) { s.echo = echo; });
}

void ModemSimulator::setLatency(milliseconds latency)
{
    std::lock_guard lock(d->mutex);
    d->latency = latency;
}

void ModemSimulator::setCopsLatency(milliseconds latency)
{
    std::lock_guard lock(d->mutex);
    d->copsLatency = latency;
}

void ModemSimulator::setReplySplit(ReplySplit split, milliseconds pause)
{
    std::lock_guard lock(d->mutex);
    d->split = split;
    d->splitPause = pause;
}

void ModemSimulator::silenceFor(milliseconds duration)
{
    std::lock_guard lock(d->mutex);
    d->silentForever = false;
    d->silentUntil = Clock::now() + duration;
    d->wake();
}

void ModemSimulator::silenceForever()
{
    std::lock_guard lock(d->mutex);
    d->silentForever = true;
    d->silentUntil.reset();
    d->wake();
}

void ModemSimulator::endSilence()
{
    std::lock_guard lock(d->mutex);
    d->silentForever = false;
    d->silentUntil.reset();
    d->wake();
}

bool ModemSimulator::isSilent() const
{
    std::lock_guard lock(d->mutex);
    return d->silent(Clock::now());
}

void ModemSimulator::sendRaw(const QByteArray& bytes)
{
    std::lock_guard lock(d->mutex);
    d->refreshClient();
    d->queueRaw(bytes);
    d->wake();
}

void ModemSimulator::sendGarbage(int bytes)
{
    std::lock_guard lock(d->mutex);
    d->refreshClient();
    d->queueRaw(d->randomBytes(std::max(0, bytes)));
    d->wake();
}

void ModemSimulator::flood(qint64 bytes, int bytesPerSecond)
{
    std::lock_guard lock(d->mutex);
    d->floodLeft = std::max<qint64>(0, bytes);
    d->floodRate = std::max(0, bytesPerSecond);
    d->floodNext = Clock::now();
    d->refreshClient();
    d->wake();
}

void ModemSimulator::stopFlood()
{
    std::lock_guard lock(d->mutex);
    d->floodLeft = 0;
}

void ModemSimulator::unplug()
{
    std::function<void(bool)> observer;
    {
        std::lock_guard lock(d->mutex);
        if (!d->running || !d->plugged)
            return;
        d->closePort();
        d->wake();
        observer = d->plugObserver;
    }
    if (observer)
        observer(false);
}

bool ModemSimulator::replug()
{
    std::function<void(bool)> observer;
    bool opened = false;
    {
        std::lock_guard lock(d->mutex);
        if (!d->running)
            return false;
        if (d->plugged)
            return true;
        opened = d->openPort();
        d->wake();
        observer = d->plugObserver;
    }
    if (observer && opened)
        observer(true);
    return opened;
}

bool ModemSimulator::replug(const QString& linkPath)
{
    std::function<void(bool)> observer;
    bool opened = false;
    {
        std::lock_guard lock(d->mutex);
        if (!d->running)
            return false;
        d->removeLink();
        d->linkPath = linkPath;
        const bool wasPlugged = d->plugged;
        opened = wasPlugged ? d->placeLink() : d->openPort();
        d->wake();
        if (!wasPlugged && opened)
            observer = d->plugObserver;
    }
    if (observer)
        observer(true);
    return opened;
}

void ModemSimulator::setPlugObserver(std::function<void(bool plugged)> observer)
{
    std::lock_guard lock(d->mutex);
    d->plugObserver = std::move(observer);
}

bool ModemSimulator::isPlugged() const
{
    std::lock_guard lock(d->mutex);
    return d->plugged;
}

void ModemSimulator::setUnsolicited(Unsolicited kind, bool on, milliseconds period)
{
    std::lock_guard lock(d->mutex);
    UnsolicitedSetting& u = d->unsolicited[static_cast<size_t>(kind)];
    u.on = on;
    u.period = period;
    u.next = Clock::now() + period;
    d->wake();
}

std::vector<LogEntry> ModemSimulator::log() const
{
    std::lock_guard lock(d->mutex);
    return {d->log.begin(), d->log.end()};
}

void ModemSimulator::clearLog()
{
    std::lock_guard lock(d->mutex);
    d->firstLogId += static_cast<qint64>(d->log.size());
    d->log.clear();
}

bool ModemSimulator::waitForCommands(int count, int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, milliseconds(timeoutMs), [&] {
        return d->log.size() >= static_cast<size_t>(std::max(0, count));
    });
}

bool ModemSimulator::waitForSettled(int count, int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, milliseconds(timeoutMs), [&] {
        const auto settled = std::count_if(d->log.begin(), d->log.end(), [](const LogEntry& e) {
            return e.fate != LogEntry::Fate::Pending;
        });
        return settled >= count;
    });
}

bool ModemSimulator::waitForReplies(int count, int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, milliseconds(timeoutMs), [&] {
        const auto written = std::count_if(d->log.begin(), d->log.end(),
                                           [](const LogEntry& e) { return e.answered(); });
        return written >= count;
    });
}

void ModemSimulator::setLogObserver(std::function<void(const LogEntry&)> observer)
{
    std::lock_guard lock(d->mutex);
    d->observer = std::move(observer);
}

} // namespace modemsim
