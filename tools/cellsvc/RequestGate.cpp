#include "tools/cellsvc/RequestGate.h"

#include "tools/cellsvc/LocationReply.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace cellsvc
{

bool plausibleRequestLine(std::string_view head)
{
    const auto isTokenChar = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
    };
    const auto isTargetChar = [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && c != 0x7f;
    };
    std::string_view line = head.substr(0, head.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const std::size_t methodEnd = line.find(' ');
    const std::size_t targetEnd = line.find(' ', methodEnd + 1);
    if (methodEnd == 0 || methodEnd == std::string_view::npos || targetEnd == methodEnd + 1 ||
        targetEnd == std::string_view::npos) {
        return false;
    }
    const std::string_view method = line.substr(0, methodEnd);
    const std::string_view target = line.substr(methodEnd + 1, targetEnd - methodEnd - 1);
    const std::string_view version = line.substr(targetEnd + 1);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    return std::all_of(method.begin(), method.end(), isTokenChar) &&
           std::all_of(target.begin(), target.end(), isTargetChar) && version.size() == 8 &&
           version.starts_with("HTTP/") && isDigit(version[5]) && version[6] == '.' &&
           isDigit(version[7]);
}

namespace
{

using Clock = std::chrono::steady_clock;

std::string plainReply(int status, const char* reason, std::string_view code,
                       std::string_view message)
{
    const std::string body = errorXml(code, message);
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: application/xml; charset=UTF-8\r\nCache-Control: no-cache\r\n"
           "Connection: close\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Sends a short reply on a connection that has not been handed on, and closes it. What the
// client sent is read first, so that closing sends an orderly end rather than a reset that
// could discard the reply before the client reads it.
void refuse(int fd, const std::string& reply)
{
    ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(fd, SHUT_WR);
    char sink[4096];
    for (int i = 0; i < 16 && ::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0; ++i) {
    }
    ::close(fd);
}

struct Waiting {
    std::uint64_t serial = 0;
    Clock::time_point deadline;
    sockaddr_storage address{};
    socklen_t length = 0;
};

} // namespace

struct RequestGate::State {
    int listening = -1;
    int epoll = -1;
    int wake = -1; // an eventfd: stop() writes it
    HandOver handOver;
    Limits limits;
    std::unordered_map<int, Waiting> waiting;
    // In arrival order, which is deadline order; entries of connections gone are skipped.
    std::deque<std::pair<int, std::uint64_t>> arrivals;
    std::uint64_t nextSerial = 1;
    std::vector<char> peek;

    void forget(int fd)
    {
        ::epoll_ctl(epoll, EPOLL_CTL_DEL, fd, nullptr);
        waiting.erase(fd);
    }

    // Drops arrivals of connections already gone; returns the oldest waiting one, or -1.
    int oldest()
    {
        while (!arrivals.empty()) {
            const auto [fd, serial] = arrivals.front();
            const auto found = waiting.find(fd);
            if (found != waiting.end() && found->second.serial == serial) {
                return fd;
            }
            arrivals.pop_front();
        }
        return -1;
    }

    void expire(int fd)
    {
        forget(fd);
        refuse(fd, plainReply(408, "Request Timeout", "requestTimeout",
                              "the request did not arrive in time"));
    }

    void acceptAll()
    {
        while (true) {
            Waiting entry;
            entry.length = sizeof entry.address;
            const int fd = ::accept4(listening, reinterpret_cast<sockaddr*>(&entry.address),
                                     &entry.length, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EMFILE || errno == ENFILE) {
                    if (oldest() >= 0) {
                        expire(oldest()); // make room, then try again
                        continue;
                    }
                    // Every descriptor is held by connections being answered: let them finish
                    // rather than spin on the listening socket, which stays readable.
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
                return; // EAGAIN, or no room yet: the kernel's queue holds the rest
            }
            if (waiting.size() >= limits.maxWaiting && oldest() >= 0) {
                expire(oldest());
            }
            entry.serial = nextSerial++;
            entry.deadline = Clock::now() + limits.requestTime;
            epoll_event event{};
            event.events = EPOLLIN | EPOLLRDHUP | EPOLLET;
            event.data.fd = fd;
            if (::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event) != 0) {
                ::close(fd);
                continue;
            }
            arrivals.emplace_back(fd, entry.serial);
            waiting.emplace(fd, entry);
        }
    }

    // Looks at what a connection has sent so far and hands it on once its head is complete.
    void inspect(int fd, std::uint32_t events)
    {
        if (events & (EPOLLERR | EPOLLHUP)) { // reset by the client: nothing more can come
            forget(fd);
            ::close(fd);
            return;
        }
        const ssize_t n = ::recv(fd, peek.data(), peek.size(), MSG_PEEK | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            return;
        }
        if (n <= 0) { // closed by the client, or failed
            forget(fd);
            ::close(fd);
            return;
        }
        const std::string_view head(peek.data(), static_cast<std::size_t>(n));
        const bool complete = head.find("\n\r\n") != std::string_view::npos ||
                              head.find("\n\n") != std::string_view::npos;
        const bool full = head.size() >= limits.requestMemory;
        if (!complete && !full) {
            return;
        }
        const Waiting entry = waiting.at(fd);
        forget(fd);
        if (head.find('\n') != std::string_view::npos && !plausibleRequestLine(head)) {
            refuse(fd, plainReply(400, "Bad Request", "badRequest",
                                  "the request line is not METHOD TARGET HTTP/1.1"));
            return;
        }
        // A head too large for the server's request memory goes on too: the server answers it
        // 414 or 431 as it does any other.
        handOver(fd, reinterpret_cast<const sockaddr*>(&entry.address), entry.length);
    }

    int millisecondsToNextDeadline()
    {
        const int fd = oldest();
        if (fd < 0) {
            return -1;
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(waiting.at(fd).deadline - Clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    }

    void expireOverdue()
    {
        const auto now = Clock::now();
        for (int fd = oldest(); fd >= 0 && waiting.at(fd).deadline <= now; fd = oldest()) {
            expire(fd);
        }
    }

    void closeAll()
    {
        for (const auto& [fd, entry] : waiting) {
            ::close(fd);
        }
        waiting.clear();
        arrivals.clear();
    }
};

RequestGate::RequestGate(int listeningSocket, HandOver handOver, const Limits& limits)
    : state_(std::make_unique<State>())
{
    state_->listening = listeningSocket;
    state_->handOver = std::move(handOver);
    state_->limits = limits;
    state_->peek.resize(limits.requestMemory);
    state_->epoll = ::epoll_create1(EPOLL_CLOEXEC);
    state_->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const int flags = ::fcntl(listeningSocket, F_GETFL);
    epoll_event listen{};
    listen.events = EPOLLIN;
    listen.data.fd = listeningSocket;
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = state_->wake;
    if (state_->epoll < 0 || state_->wake < 0 || flags < 0 ||
        ::fcntl(listeningSocket, F_SETFL, flags | O_NONBLOCK) != 0 ||
        ::epoll_ctl(state_->epoll, EPOLL_CTL_ADD, listeningSocket, &listen) != 0 ||
        ::epoll_ctl(state_->epoll, EPOLL_CTL_ADD, state_->wake, &wake) != 0) {
        const std::string reason = std::strerror(errno);
        stop();
        throw std::runtime_error("cannot watch the listening socket: " + reason);
    }
    thread_ = std::thread([this] { run(); });
}

RequestGate::~RequestGate()
{
    stop();
}

void RequestGate::stop()
{
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(state_->wake, &one, sizeof one);
        thread_.join();
    }
    state_->closeAll();
    for (int* fd : {&state_->listening, &state_->epoll, &state_->wake}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void RequestGate::run()
{
    State& s = *state_;
    std::vector<epoll_event> events(256);
    while (true) {
        const int n = ::epoll_wait(s.epoll, events.data(), static_cast<int>(events.size()),
                                   s.millisecondsToNextDeadline());
        for (int i = 0; i < n; ++i) {
            const int fd = events[static_cast<std::size_t>(i)].data.fd;
            if (fd == s.wake) {
                return;
            }
            if (fd == s.listening) {
                s.acceptAll();
            } else if (s.waiting.contains(fd)) {
                s.inspect(fd, events[static_cast<std::size_t>(i)].events);
            }
        }
        s.expireOverdue();
    }
}

} // namespace cellsvc
