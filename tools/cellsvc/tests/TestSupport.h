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

    // The server answers one request per connection: the reply is all that comes until it
    // closes the connection.
    Reply read()
    {
        Reply reply;
        char chunk[65536];
        pollfd p{fd_, POLLIN, 0};
        ssize_t n = 1;
        while (::poll(&p, 1, 10000) > 0 && (n = ::recv(fd_, chunk, sizeof chunk, 0)) > 0)
            reply.text.append(chunk, std::size_t(n));
        reply.closed = n <= 0;
        reply.status = reply.text.starts_with("HTTP/1.1 ") ? std::atoi(reply.text.c_str() + 9) : 0;
        return reply;
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
        return read();
    }

private:
    int fd_;
};

} // namespace cellsvc::test
