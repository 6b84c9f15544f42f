#include "tools/cellsvc/KeepAliveWatch.h"

#include <sys/socket.h>

namespace cellsvc
{

KeepAliveWatch::KeepAliveWatch(std::chrono::milliseconds requestTime)
    : sweep_(requestTime / 16), allowed_(requestTime - sweep_),
      thread_([this](const std::stop_token& stop) { run(stop); })
{
}

KeepAliveWatch::~KeepAliveWatch()
{
    thread_.request_stop();
    thread_.join();
}

KeepAliveWatch::Entry* KeepAliveWatch::open(int fd)
{
    auto entry = std::make_unique<Entry>(fd);
    Entry* const opened = entry.get();
    const std::lock_guard lock(mutex_);
    entries_.emplace(opened, std::move(entry));
    return opened;
}

void KeepAliveWatch::awaitNext(Entry& entry) const
{
    entry.due_.store((Clock::now() + allowed_).time_since_epoch().count(),
                     std::memory_order_relaxed);
}

void KeepAliveWatch::close(Entry* entry)
{
    const std::lock_guard lock(mutex_);
    entries_.erase(entry);
}

void KeepAliveWatch::run(const std::stop_token& stop)
{
    std::unique_lock lock(mutex_);
    while (!asleep_.wait_for(lock, stop, sweep_, [] { return false; })) {
        if (stop.stop_requested()) {
            return;
        }
        cutLateOnes();
    }
}

void KeepAliveWatch::cutLateOnes()
{
    const Clock::rep now = Clock::now().time_since_epoch().count();
    for (const auto& [key, entry] : entries_) {
        Clock::rep due = entry->due_.load(std::memory_order_relaxed);
        // Only if no request has arrived, or been answered, since the load.
        if (due != kNotDue && now >= due &&
            entry->due_.compare_exchange_strong(due, kNotDue, std::memory_order_relaxed)) {
            // Under the lock, so the server cannot have closed the descriptor meanwhile: close()
            // waits for it.
            ::shutdown(entry->fd_, SHUT_RDWR);
        }
    }
}

} // namespace cellsvc
