#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
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
// Called from the server's threads; one thread of its own waits for the deadlines.
class KeepAliveWatch
{
public:
    explicit KeepAliveWatch(std::chrono::milliseconds requestTime);
    KeepAliveWatch(const KeepAliveWatch&) = delete;
    KeepAliveWatch& operator=(const KeepAliveWatch&) = delete;
    ~KeepAliveWatch();

    // `connection`'s reply has gone out on socket `fd`: its next request is due.
    void awaitNext(const void* connection, int fd);
    // `connection`'s next request has arrived whole.
    void arrived(const void* connection);
    // `connection` is closing; must be called before its socket is closed, so that a
    // descriptor number reused by a later connection is never shut down.
    void forget(const void* connection) { arrived(connection); }

private:
    using Clock = std::chrono::steady_clock;
    struct Due {
        int fd = -1;
        std::uint64_t serial = 0;
        Clock::time_point deadline;
    };

    void run();

    const std::chrono::milliseconds requestTime_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::unordered_map<const void*, Due> due_;
    // In the order awaited, which is deadline order; entries no longer in due_ are skipped.
    std::deque<std::pair<const void*, std::uint64_t>> order_;
    std::uint64_t nextSerial_ = 1;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace cellsvc
