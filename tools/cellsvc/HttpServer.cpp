#include "tools/cellsvc/HttpServer.h"

#include "tools/cellsvc/KeepAliveWatch.h"
#include "tools/cellsvc/RequestGate.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <microhttpd.h>
#include <netdb.h>
#include <new>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace cellsvc
{

std::optional<ListenAddress> parseListenAddress(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return std::nullopt;
    }
    std::string_view host = text.substr(0, colon);
    const std::string_view portText = text.substr(colon + 1);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') {
            return std::nullopt;
        }
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return std::nullopt; // an IPv6 address needs its brackets
    }
    unsigned port = 0;
    const auto [end, ec] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (ec != std::errc{} || end != portText.data() + portText.size() || portText.empty() ||
        port > 65535) {
        return std::nullopt;
    }
    return ListenAddress{std::string(host), static_cast<std::uint16_t>(port)};
}

namespace
{

// One socket, closed unless handed over.
class SocketHolder
{
public:
    explicit SocketHolder(int fd) : fd_(fd) {}
    SocketHolder(const SocketHolder&) = delete;
    SocketHolder& operator=(const SocketHolder&) = delete;
    ~SocketHolder()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

[[noreturn]] void fail(const ListenAddress& address, const std::string& reason)
{
    throw std::runtime_error("cannot listen on " + address.host + ":" +
                             std::to_string(address.port) + ": " + reason);
}

std::uint16_t boundPort(int socket)
{
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length);
    return ntohs(bound.ss_family == AF_INET6
                     ? reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port
                     : reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
}

// Binds and listens ourselves, so that the port chosen for port 0 can be read back and the
// backlog is ours to size.
int openListeningSocket(const ListenAddress& address)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (const int rc = ::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found); rc != 0) {
        fail(address, ::gai_strerror(rc));
    }
    const addrinfo first = *found;
    sockaddr_storage storage{};
    std::memcpy(&storage, found->ai_addr, found->ai_addrlen);
    ::freeaddrinfo(found);

    SocketHolder socket(::socket(first.ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0) {
        fail(address, std::strerror(errno));
    }
    const int on = 1;
    ::setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&storage), first.ai_addrlen) != 0 ||
        ::listen(socket.get(), 1024) != 0) {
        fail(address, std::strerror(errno));
    }
    return socket.release();
}

// What one request keeps between the callbacks: its target as it came, before libmicrohttpd
// decodes and splits it.
struct RequestState {
    std::string target;
    bool headersSeen = false;
    bool withBody = false;
};

bool hasBody(MHD_Connection* connection)
{
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                       MHD_HTTP_HEADER_CONTENT_LENGTH) ||
           MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                       MHD_HTTP_HEADER_TRANSFER_ENCODING);
}

MHD_Response* xmlResponse(const HttpReply& reply, bool close)
{
    MHD_Response* response = MHD_create_response_from_buffer(
        reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
    if (response) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE,
                                "application/xml; charset=UTF-8");
        MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-cache");
        if (close) {
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
        }
        if (reply.status == MHD_HTTP_METHOD_NOT_ALLOWED) {
            MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
        }
    }
    return response;
}

// The watch's entry of a connection, made when it opened.
KeepAliveWatch::Entry* watchEntryOf(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<KeepAliveWatch::Entry*>(info->socket_context) : nullptr;
}

} // namespace

struct HttpServerCallbacks {
    static void* rememberTarget(void*, const char* uri, MHD_Connection*)
    {
        return new (std::nothrow) RequestState{uri ? uri : ""};
    }

    static void forget(void* self, MHD_Connection* connection, void** state,
                       MHD_RequestTerminationCode how)
    {
        delete static_cast<RequestState*>(*state);
        *state = nullptr;
        KeepAliveWatch::Entry* entry = watchEntryOf(connection);
        if (how == MHD_REQUEST_TERMINATED_COMPLETED_OK && entry) {
            static_cast<HttpServer*>(self)->watch_->awaitNext(*entry);
        }
    }

    static void connectionEvent(void* self, MHD_Connection* connection, void** socketContext,
                                MHD_ConnectionNotificationCode event)
    {
        KeepAliveWatch& watch = *static_cast<HttpServer*>(self)->watch_;
        if (event == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* info =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            try {
                *socketContext = info ? watch.open(info->connect_fd) : nullptr;
            } catch (const std::bad_alloc&) {
                // Out of memory: not watched, but its first request is bounded by the gate.
                *socketContext = nullptr;
            }
        } else if (event == MHD_CONNECTION_NOTIFY_CLOSED) {
            // Called before libmicrohttpd closes the socket.
            watch.close(static_cast<KeepAliveWatch::Entry*>(*socketContext));
            *socketContext = nullptr;
        }
    }

    static MHD_Result answer(void* self, MHD_Connection* connection, const char*,
                             const char* method, const char*, const char*, std::size_t* uploadSize,
                             void** state)
    {
        auto* request = static_cast<RequestState*>(*state);
        if (!request) {
            return MHD_NO; // out of memory: drop the connection
        }
        // libmicrohttpd keeps a connection alive only for a reply queued after the first call,
        // which comes with the headers. A request with a body is answered at once instead:
        // none of ours has one, and the connection then closes without reading it, so that a
        // body trickled in is never waited for.
        if (!request->headersSeen) {
            request->headersSeen = true;
            if (KeepAliveWatch::Entry* entry = watchEntryOf(connection)) {
                KeepAliveWatch::arrived(*entry);
            }
            request->withBody = hasBody(connection);
            if (!request->withBody) {
                return MHD_YES;
            }
        } else if (*uploadSize > 0) {
            *uploadSize = 0;
            return MHD_YES;
        }
        HttpReply reply;
        try {
            reply = static_cast<HttpServer*>(self)->handler_(method, request->target);
        } catch (const std::exception&) {
            reply = HttpReply{500, errorXml("internalError", "the request could not be served")};
        }
        MHD_Response* response = xmlResponse(reply, request->withBody);
        if (!response) {
            return MHD_NO;
        }
        const MHD_Result queued =
            MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
        MHD_destroy_response(response);
        return queued;
    }
};

HttpServer::HttpServer(const ListenAddress& address, Handler handler, const ServerLimits& limits)
    : handler_(std::move(handler))
{
    const int listening = openListeningSocket(address);
    try {
        start(listening, limits);
    } catch (const std::runtime_error& e) {
        fail(address, e.what());
    }
}

HttpServer::HttpServer(int listeningSocket, Handler handler, const ServerLimits& limits)
    : handler_(std::move(handler))
{
    start(listeningSocket, limits);
}

void HttpServer::start(int listeningSocket, const ServerLimits& limits)
{
    SocketHolder listening(listeningSocket);
    port_ = boundPort(listening.get());
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(limits.requestTime).count();
    watch_ = std::make_unique<KeepAliveWatch>(limits.requestTime);
    daemon_ = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_NO_LISTEN_SOCKET | MHD_USE_ITC, 0,
        nullptr, nullptr, &HttpServerCallbacks::answer, this, MHD_OPTION_THREAD_POOL_SIZE,
        limits.threads, MHD_OPTION_CONNECTION_LIMIT, limits.maxConnections,
        MHD_OPTION_CONNECTION_TIMEOUT,
        static_cast<unsigned>(std::max<decltype(seconds)>(seconds, 1)),
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits.requestMemory, MHD_OPTION_URI_LOG_CALLBACK,
        &HttpServerCallbacks::rememberTarget, nullptr, MHD_OPTION_NOTIFY_COMPLETED,
        &HttpServerCallbacks::forget, this, MHD_OPTION_NOTIFY_CONNECTION,
        &HttpServerCallbacks::connectionEvent, this, MHD_OPTION_END);
    if (!daemon_) {
        throw std::runtime_error("the HTTP server did not start");
    }
    try {
        // libmicrohttpd closes a connection it cannot take, so the gate forgets it either way.
        gate_ = std::make_unique<RequestGate>(
            listening.release(),
            [daemon = daemon_](int fd, const sockaddr* address, socklen_t length) {
                MHD_add_connection(daemon, fd, address, length);
            },
            RequestGate::Limits{limits.maxConnections, limits.requestTime, limits.requestMemory});
    } catch (...) {
        stop();
        throw;
    }
}

HttpServer::~HttpServer()
{
    stop();
}

void HttpServer::stop()
{
    gate_.reset(); // no new connections reach the daemon from here on
    if (daemon_) {
        MHD_stop_daemon(daemon_);
        daemon_ = nullptr;
    }
    watch_.reset(); // after the daemon: its connections are all forgotten by now
}

} // namespace cellsvc
