#pragma once

#include "tools/cellsvc/CellService.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
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

class KeepAliveWatch;
class RequestGate;

// Bounds that keep a bad or slow client from holding the server.
struct ServerLimits {
    unsigned threads = 2; // event loops, each with its own epoll set
    // Connections waiting for their first request, and apart from those, connections being
    // answered or kept alive for their next one.
    unsigned maxConnections = 4096;
    // A connection's request line and headers must all arrive within this time of connecting,
    // and each later request on a kept-alive connection within this time of the reply before
    // it (an idle one is closed then); a reply must be taken within it too.
    std::chrono::milliseconds requestTime{5000};
    std::size_t requestMemory = 16384; // request line and headers must fit in this
};

// An HTTP/1.1 server on libmicrohttpd: a gate thread holds new connections until their request
// has arrived (RequestGate), a few event-loop threads answer them and keep them alive for more,
// each next request on a deadline (KeepAliveWatch); requests are handed to `handler` on those
// threads (so it must be thread-safe).
class HttpServer
{
public:
    using Handler = std::function<HttpReply(std::string_view method, std::string_view target)>;

    // Listens at once; throws std::runtime_error when the address cannot be had.
    HttpServer(const ListenAddress& address, Handler handler, const ServerLimits& limits = {});
    // Serves on a socket that listens already (one handed over by systemd) and takes it over.
    HttpServer(int listeningSocket, Handler handler, const ServerLimits& limits = {});
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    ~HttpServer();

    std::uint16_t port() const { return port_; }
    // Closes the listening socket and all connections and joins the threads. Idempotent.
    void stop();

private:
    void start(int listeningSocket, const ServerLimits& limits);

    Handler handler_;
    MHD_Daemon* daemon_ = nullptr;
    std::unique_ptr<KeepAliveWatch> watch_;
    std::unique_ptr<RequestGate> gate_;
    std::uint16_t port_ = 0;

    friend struct HttpServerCallbacks;
};

} // namespace cellsvc
