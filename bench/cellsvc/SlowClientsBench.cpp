// Good requests against cellsvc while many slow clients each send one byte of a request a
// second, reconnecting whenever the server cuts them off: half of them trickle their first
// request, the other half send a whole first request and trickle a second one on the kept-alive
// connection. Prints the good requests' latency (p50, p99, max), how many failed, and how often
// the slow clients of each kind were cut off.
//
//   cellsvc_slow_bench CELLSVC SAMPLE [--slow N] [--seconds S]
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

const std::string kGood = "GET /cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78 "
                          "HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

int connectTo(unsigned port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 &&
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        return fd;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return -1;
}

// True once `reply` holds a whole reply: its head and as much body as its Content-Length says.
bool wholeReply(const std::string& reply)
{
    const std::size_t end = reply.find("\r\n\r\n");
    const std::size_t field = reply.find("Content-Length: ");
    return end != std::string::npos && field < end &&
           reply.size() >= end + 4 + std::strtoul(reply.c_str() + field + 16, nullptr, 10);
}

// One good request on a new connection; its time in milliseconds until the whole reply came (the
// server may keep the connection open), or a negative number when it failed (no 200 within
// 10 s).
double goodRequest(unsigned port)
{
    const auto start = Clock::now();
    const int fd = connectTo(port);
    if (fd < 0) {
        return -1;
    }
    std::string reply;
    if (::send(fd, kGood.data(), kGood.size(), MSG_NOSIGNAL) ==
        static_cast<ssize_t>(kGood.size())) {
        char chunk[4096];
        pollfd p{fd, POLLIN, 0};
        while (!wholeReply(reply) && ::poll(&p, 1, 10000) > 0) {
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                break;
            }
            reply.append(chunk, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    if (!reply.starts_with("HTTP/1.1 200")) {
        return -1;
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Keeps `count` connections open, each sending the next byte of a request once a second; every
// second one first sends a whole request and trickles the next on the same connection.
void trickle(unsigned port, std::size_t count, const std::atomic<bool>& stop,
             std::atomic<long> (&cutOff)[2])
{
    struct Slow {
        int fd = -1;
        std::size_t sent = 0;
        bool keptAlive = false;
        bool answered = false; // the whole first request of a kept-alive one
    };
    std::vector<Slow> slow(count);
    for (std::size_t i = 0; i < count; ++i) {
        slow[i].keptAlive = i % 2 == 1;
    }
    while (!stop.load()) {
        const auto tick = Clock::now();
        for (Slow& s : slow) {
            if (s.fd >= 0 && s.keptAlive && !s.answered) {
                char reply[4096]; // a few hundred bytes, long there since the last tick
                const ssize_t n = ::recv(s.fd, reply, sizeof reply, MSG_DONTWAIT);
                s.answered = n > 0;
                if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                    continue;
                }
            }
            char probe;
            const bool gone = s.fd >= 0 && (::recv(s.fd, &probe, 1, MSG_DONTWAIT | MSG_PEEK) >= 0 ||
                                            (s.keptAlive && !s.answered));
            if (gone || (s.fd >= 0 && ::send(s.fd, kGood.data() + s.sent % (kGood.size() - 4), 1,
                                             MSG_NOSIGNAL | MSG_DONTWAIT) != 1)) {
                ::close(s.fd);
                s.fd = -1;
                ++cutOff[s.keptAlive ? 1 : 0];
            }
            if (s.fd < 0) {
                s.fd = connectTo(port);
                s.sent = 0;
                s.answered = false;
                if (s.fd >= 0 && s.keptAlive) {
                    ::send(s.fd, kGood.data(), kGood.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                }
                continue;
            }
            ++s.sent;
        }
        std::this_thread::sleep_until(tick + std::chrono::seconds(1));
    }
    for (const Slow& s : slow) {
        if (s.fd >= 0) {
            ::close(s.fd);
        }
    }
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()))];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CELLSVC SAMPLE [--slow N] [--seconds S]\n", argv[0]);
        return 2;
    }
    const std::string cellsvc = argv[1];
    const std::string sample = argv[2];
    std::size_t slowCount = 1200;
    int seconds = 20;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--slow") == 0) {
            slowCount = std::strtoul(argv[i + 1], nullptr, 10);
        } else if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atoi(argv[i + 1]);
        }
    }
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);

    const auto work = std::filesystem::temp_directory_path() / "cellsvc-slow-bench";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    const std::string database = (work / "cells.db").string();
    const std::string import =
        "'" + cellsvc + "' import '" + sample + "' '" + database + "' >/dev/null";
    if (std::system(import.c_str()) != 0) {
        std::fprintf(stderr, "the import failed\n");
        return 1;
    }
    int out[2];
    if (::pipe(out) != 0) {
        return 1;
    }
    const pid_t server = ::fork();
    if (server == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::execl(cellsvc.c_str(), cellsvc.c_str(), "serve", database.c_str(), "--listen",
                "127.0.0.1:0", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char ready[512] = {};
    const ssize_t n = ::read(out[0], ready, sizeof ready - 1);
    const char* at = n > 0 ? std::strstr(ready, "http://127.0.0.1:") : nullptr;
    if (!at) {
        std::fprintf(stderr, "the server did not start: %s\n", ready);
        ::kill(server, SIGTERM);
        return 1;
    }
    const unsigned port = static_cast<unsigned>(std::atoi(at + std::strlen("http://127.0.0.1:")));

    std::atomic<bool> stop{false};
    std::atomic<long> cutOff[2] = {0, 0}; // trickling the first request, a later one
    std::thread slow([&] { trickle(port, slowCount, stop, cutOff); });
    std::this_thread::sleep_for(std::chrono::seconds(2)); // all slow connections open

    std::vector<double> times;
    long failed = 0;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        const double ms = goodRequest(port);
        if (ms < 0) {
            ++failed;
        } else {
            times.push_back(ms);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop = true;
    slow.join();
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    std::filesystem::remove_all(work);

    double load[3] = {};
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3) {
            load[0] = load[1] = load[2] = 0;
        }
        std::fclose(f);
    }
    std::printf("cellsvc under slow clients; load average %.2f %.2f %.2f\n", load[0], load[1],
                load[2]);
    std::printf("slow connections kept open: %zu, each sending one byte a second\n", slowCount);
    std::printf("  %zu trickling their first request: cut off and reopened %ld times\n",
                slowCount - slowCount / 2, cutOff[0].load());
    std::printf("  %zu trickling a second request after a whole first one: cut off and reopened "
                "%ld times\n",
                slowCount / 2, cutOff[1].load());
    std::printf("good requests (new connection each) over %d s: %zu answered, %ld failed\n",
                seconds, times.size(), failed);
    std::printf("latency p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", percentile(times, 0.5),
                percentile(times, 0.99), percentile(times, 1.0));
    return failed == 0 ? 0 : 1;
}
