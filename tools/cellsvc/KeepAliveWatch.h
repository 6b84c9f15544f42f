#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace cellsvc
{

// Watches connections kept alive between requests. The gate sees only a connection's first
// request; after that the HTTP server owns the socket and reads every byte itself, and its own
// timeout resets at each byte, so a client could trickle a second request forever. Here each
// answered connection must deliver its next whole request within `requestTime` of its reply,
// and a connection that does not, idle or trickling, has its socket shut down: the server then
// reads the end of the stream and closes it. That bounds a request by its first byte too, which
// comes after the reply.
//
// A request only stores a time in its connection's entry; one thread of its own looks at the
// entries sixteen times per `requestTime`, so a connection is cut between 15/16 of it and all
// of it after its reply. (A queue of deadlines, one per reply, took a lock shared by every
// request and grew by each reply of the last `requestTime`: 8 % of the lookups' rate.)
class KeepAliveWatch
{
public:
    // One connection's entry, from its opening to its closing.
    class Entry
    {
    public:
        explicit Entry(int fd) : fd_(fd) {}

    private:
        friend class KeepAliveWatch;
        const int fd_;
        std::atomic<std::chrono::steady_clock::rep> due_{kNotDue};
    };

    explicit KeepAliveWatch(std::chrono::milliseconds requestTime);
    KeepAliveWatch(const KeepAliveWatch&) = delete;
    KeepAliveWatch& operator=(const KeepAliveWatch&) = delete;
    ~KeepAliveWatch();

    // A connection has opened on socket `fd`; its entry lives until close().
    Entry* open(int fd);
    // The entry's reply has gone out: its next request is due.
    void awaitNext(Entry& entry) const;
    // The entry's next request has arrived whole.
    static void arrived(Entry& entry) { entry.due_.store(kNotDue, std::memory_order_relaxed); }
    // The entry's connection is closing; must be called before its socket is closed, so that a
    // descriptor number reused by a later connection is never shut down.
    void close(Entry* entry);

private:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::rep kNotDue = Clock::rep(0);

    void run(const std::stop_token& stop);
    void cutLateOnes();

    const Clock::duration sweep_;
    const Clock::duration allowed_; // after a reply, checked a sweep early at the latest
    std::mutex mutex_;
    std::condition_variable_any asleep_;
    std::unordered_map<const Entry*, std::unique_ptr<Entry>> entries_;
    std::jthread thread_; // last: stopped and joined before the entries go
};

} // namespace cellsvc
