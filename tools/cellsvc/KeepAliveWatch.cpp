#include "tools/cellsvc/KeepAliveWatch.h"

#include <sys/socket.h>

namespace cellsvc
{

KeepAliveWatch::KeepAliveWatch(std::chrono::milliseconds requestTime)
    : requestTime_(requestTime), thread_([this] { run(); })
{
}

KeepAliveWatch::~KeepAliveWatch()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_one();
    thread_.join();
}

void KeepAliveWatch::awaitNext(const void* connection, int fd)
{
    bool wasEmpty = false;
    {
        const std::lock_guard lock(mutex_);
        const std::uint64_t serial = nextSerial_++;
        due_[connection] = Due{fd, serial, Clock::now() + requestTime_};
        wasEmpty = order_.empty();
        order_.emplace_back(connection, serial);
    }
    // Deadlines come in order, so the thread need only hear of one when it had none to wait for.
    if (wasEmpty) {
        changed_.notify_one();
    }
}

void KeepAliveWatch::arrived(const void* connection)
{
    const std::lock_guard lock(mutex_);
    due_.erase(connection);
}

void KeepAliveWatch::run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (order_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto [connection, serial] = order_.front();
        const auto found = due_.find(connection);
        if (found == due_.end() || found->second.serial != serial) {
            order_.pop_front(); // answered or closed in time
            continue;
        }
        // A copy: the entry may be gone by the time the wait reads its deadline again.
        const Clock::time_point deadline = found->second.deadline;
        if (Clock::now() < deadline) {
            changed_.wait_until(lock, deadline);
            continue;
        }
        // Under the lock, so the server cannot have closed the descriptor meanwhile: forget()
        // waits for it.
        ::shutdown(found->second.fd, SHUT_RDWR);
        due_.erase(found);
        order_.pop_front();
    }
}

} // namespace cellsvc
