#pragma once

// Helpers for the cellsvc tests: a temporary folder, the shipped sample, and a plain HTTP/1.1
// client on a real socket that can also misbehave (send half a request, a huge one, ...).
#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace cellsvc::test
{

inline const std::string kSample = CELLSVC_SAMPLE;

class TempDir
{
public:
    TempDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "cellsvc-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() { std::filesystem::remove_all(path_); }

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }
    // The names of the files in the folder, sorted.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    std::filesystem::path path_;
};

struct Reply {
    int status = 0;
    std::string head; // status line and headers
    std::string body;
};

// One client connection to 127.0.0.1. Waits are bounded so that a hung server fails the test
// instead of hanging it.
class Client
{
public:
    explicit Client(unsigned port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            throw std::runtime_error("cannot connect");
        }
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    ~Client() { ::close(fd_); }

    // False when the server closed the connection before taking it all.
    bool send(const std::string& bytes)
    {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                return false;
            }
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Reads the reply: the server answers one request per connection, so all that comes until
    // it closes the connection.
    Reply read()
    {
        while (receive()) {
        }
        Reply reply;
        const std::size_t end = buffer_.find("\r\n\r\n");
        if (end != std::string::npos) {
            reply.head = buffer_.substr(0, end);
            reply.status = std::atoi(reply.head.substr(9, 3).c_str());
            reply.body = buffer_.substr(end + 4);
        }
        buffer_.clear();
        return reply;
    }

    Reply get(const std::string& target)
    {
        send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        return read();
    }

    // True when the server closed the connection (read returns end of file).
    bool closedByServer()
    {
        while (receive()) {
        }
        return closed_;
    }

private:
    bool receive()
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0) {
            return false;
        }
        char chunk[65536];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        buffer_.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    int fd_;
    std::string buffer_;
    bool closed_ = false;
};

} // namespace cellsvc::test
