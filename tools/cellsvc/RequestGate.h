#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <sys/socket.h>
#include <thread>

namespace cellsvc
{

// True when `head` (a request's bytes up to its first line break) starts with a request line
// the HTTP server can make sense of: METHOD SP TARGET SP HTTP/d.d. Anything else is answered
// 400 by the gate, since libmicrohttpd drops some such lines without a word.
bool plausibleRequestLine(std::string_view head);

// Takes each new connection from the listening socket and holds it, on one thread and at the
// cost of a file descriptor, until its request line and headers have all arrived; only then is
// it handed to the HTTP server. A connection that has not sent its whole head within
// `requestTime` of connecting is answered 408 and closed, however often it sends a byte, so a
// slow client never holds one of the server's connection slots. Nothing is read until the head
// is complete: the gate only peeks, so the server reads the request as it came.
class RequestGate
{
public:
    struct Limits {
        std::size_t maxWaiting = 4096; // beyond this the longest-waiting connection is dropped
        std::chrono::milliseconds requestTime{5000};
        std::size_t requestMemory = 16384; // a head larger than this is handed on for refusal
    };
    // Called on the gate's thread with a connection whose request has arrived; it owns `fd`.
    using HandOver = std::function<void(int fd, const sockaddr* address, socklen_t length)>;

    // Takes over `listeningSocket` and starts the thread; throws std::runtime_error.
    RequestGate(int listeningSocket, HandOver handOver, const Limits& limits);
    RequestGate(const RequestGate&) = delete;
    RequestGate& operator=(const RequestGate&) = delete;
    ~RequestGate();

    // Closes the listening socket and every waiting connection and joins the thread.
    void stop();

private:
    struct State;
    void run();

    std::unique_ptr<State> state_;
    std::thread thread_;
};

} // namespace cellsvc
