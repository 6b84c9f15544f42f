#pragma once

#include "tools/cellsvc/CellService.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct MHD_Daemon;

namespace cellsvc
{

// Where to listen: "127.0.0.1:8642", "[::1]:8642", "localhost:8642"; port 0 picks a free one.
struct ListenAddress {
    std::string host;
    std::uint16_t port = 0;
};

constexpr std::string_view kDefaultListen = "127.0.0.1:8642";

std::optional<ListenAddress> parseListenAddress(std::string_view text);

// Bounds that keep a bad or slow client from holding the server.
struct ServerLimits {
    unsigned threads = 2;              // event loops, each with its own epoll set
    unsigned maxConnections = 1000;    // beyond this new connections are refused
    unsigned idleTimeoutSeconds = 10;  // a connection silent this long is closed
    std::size_t requestMemory = 16384; // request line and headers must fit in this
};

// An HTTP/1.1 server on libmicrohttpd: a few event-loop threads, any number of keep-alive
// connections, requests handed to `handler` on those threads (so it must be thread-safe).
class HttpServer
{
public:
    using Handler = std::function<HttpReply(std::string_view method, std::string_view target)>;

    // Listens at once; throws std::runtime_error when the address cannot be had.
    HttpServer(const ListenAddress& address, Handler handler, const ServerLimits& limits = {});
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    ~HttpServer();

    std::uint16_t port() const { return port_; }
    // Closes the listening socket and all connections and joins the threads. Idempotent.
    void stop();

private:
    Handler handler_;
    MHD_Daemon* daemon_ = nullptr;
    std::uint16_t port_ = 0;

    friend struct HttpServerCallbacks;
};

} // namespace cellsvc
