#pragma once

// Helpers for the cellsvc tests: a temporary folder, the shipped sample, and a plain HTTP/1.1
// client on a real socket that can also misbehave (send half a request, a huge one, ...).
#include <QTemporaryDir>
#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace cellsvc::test
{

inline const std::string kSample = CELLSVC_SAMPLE;
inline const std::string kLookup =
    "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78";

// A temporary folder, removed with all it holds.
class TempDir
{
public:
    std::string file(const std::string& name) const
    {
        return dir_.path().toStdString() + "/" + name;
    }
    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }
    // The names of the files in the folder, sorted.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(file("")))
            found.push_back(entry.path().filename().string());
        std::ranges::sort(found);
        return found;
    }

private:
    QTemporaryDir dir_;
};

struct Reply {
    int status = 0;      // 0 when no HTTP reply came
    std::string text;    // status line, headers and body
    bool closed = false; // the server closed the connection
};

// One client connection to 127.0.0.1. Waits are bounded so that a hung server fails the test
// instead of hanging it.
class Client
{
public:
    explicit Client(unsigned port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        const sockaddr_in address{
            AF_INET, htons(std::uint16_t(port)), {htonl(INADDR_LOOPBACK)}, {}};
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            throw std::runtime_error("cannot connect");
        }
    }
    Client(const Client&) = delete; // one owner closes the socket
    Client& operator=(const Client&) = delete;
    ~Client() { ::close(fd_); }

    // False when the server closed the connection before taking it all.
    bool send(const std::string& bytes)
    {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }

    // All that comes until the server closes the connection.
    Reply read()
    {
        Reply reply;
        char chunk[65536];
        pollfd p{fd_, POLLIN, 0};
        ssize_t n = 1;
        while (::poll(&p, 1, 10000) > 0 && (n = ::recv(fd_, chunk, sizeof chunk, 0)) > 0)
            reply.text.append(chunk, std::size_t(n));
        reply.closed = n <= 0;
        return withStatus(reply);
    }

    // One reply, as long as its Content-Length says, on a connection that may stay open; what
    // comes after it is kept for the next call.
    Reply next()
    {
        Reply reply;
        char chunk[65536];
        pollfd p{fd_, POLLIN, 0};
        while (length(pending_) == 0 && ::poll(&p, 1, 10000) > 0) {
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            reply.closed = n <= 0;
            if (reply.closed)
                break;
            pending_.append(chunk, std::size_t(n));
        }
        const std::size_t size = reply.closed ? pending_.size() : length(pending_);
        reply.text = pending_.substr(0, size);
        pending_.erase(0, size);
        return withStatus(reply);
    }

    // Ends the connection with a reset instead of an orderly close.
    void reset()
    {
        const linger abort{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        ::close(fd_);
        fd_ = -1;
    }

    Reply get(const std::string& target)
    {
        send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        return next();
    }

private:
    static Reply withStatus(Reply reply)
    {
        reply.status = reply.text.starts_with("HTTP/1.1 ") ? std::atoi(reply.text.c_str() + 9) : 0;
        return reply;
    }

    // The size of the first whole reply in `text`, 0 while it is incomplete.
    static std::size_t length(const std::string& text)
    {
        const std::size_t end = text.find("\r\n\r\n");
        const std::size_t field = text.find("Content-Length: ");
        if (end == std::string::npos || field > end)
            return 0;
        const std::size_t size = end + 4 + std::stoul(text.substr(field + 16));
        return text.size() >= size ? size : 0;
    }

    int fd_;
    std::string pending_;
};

} // namespace cellsvc::test
