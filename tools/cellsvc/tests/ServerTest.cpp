#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/HttpServer.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ReaderPool.h"
#include "tools/cellsvc/RequestGate.h"
#include "tools/cellsvc/tests/TestSupport.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace cellsvc;
using namespace cellsvc::test;

namespace
{

// The lines the gate hands to the server; libmicrohttpd drops some of the others without a word.
TEST(RequestGate, PassesOnlyARequestLineTheServerCanRead)
{
    const struct {
        const char* head;
        bool plausible;
    } rows[] = {
        {"GET /cellid_location/?&cellid=1 HTTP/1.1\r\nHost: x", true},
        {"GET / HTTP/1.0", true},
        {"G / HTTP/1.1", true},
        {"GET / HTTP/x.y\r\n", false},
        {"GET / HTTP/1.10\r\n", false},
        {"G(T / HTTP/1.1\r\n", false},
        {"GET /a\x01b HTTP/1.1\r\n", false},
        {"GET /a\x7f HTTP/1.1\r\n", false},
        {"GET  HTTP/1.1\r\n", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(plausibleRequestLine(row.head), row.plausible) << row.head;
    }
}

// The sample served on an ephemeral port of 127.0.0.1, as `cellsvc serve` does.
class LiveServer : public testing::Test
{
protected:
    void SetUp() override
    {
        importFile(kSample, database, 16, {}, std::atomic<bool>{false});
        limits.requestTime = std::chrono::milliseconds(1500); // the slow clients' wait
        readers = std::make_unique<ReaderPool>(database, 2);
        server = std::make_unique<HttpServer>(
            ListenAddress{"127.0.0.1", 0},
            [this](auto method, auto target) { return service.handle(method, target); }, limits);
    }

    ServerLimits limits;
    TempDir dir;
    std::string database = dir.file("cells.db");
    std::unique_ptr<ReaderPool> readers;
    CellService service{[this](const CellKey& key) { return readers->find(key); }};
    std::unique_ptr<HttpServer> server;
};

// Whatever comes in, the answer comes in XML and the server goes on serving. A request line the
// gate finds implausible is refused by the gate itself; a head too large for the server's request
// memory is handed on for libmicrohttpd to refuse; a request with a body is answered without
// waiting for the body. Those connections are closed, the others kept for the next request.
TEST_F(LiveServer, AnswersEachRequestInXml)
{
    const auto get = [](const std::string& target) {
        return "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
    };
    const struct {
        const char* name;
        std::string request;
        int status;
        bool closes;
        bool xml = true;
    } rows[] = {
        {"unknown cell", get("/cellid_location/?&cellid=999&operatorid=1&countrycode=250&lac=78"),
         404, false},
        {"no target", "GET\r\n\r\n", 400, true},
        {"no version", "GET /cellid_location/\r\n\r\n", 400, true},
        {"control byte in the method", "G\x01T / HTTP/1.1\r\n\r\n", 400, true},
        {"a body to come", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 9\r\n\r\n", 405, true},
        {"a megabyte query", get("/cellid_location/?" + std::string(1 << 20, 'a')), 414, true,
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Client client(server->port());
        client.send(row.request);
        const Reply reply = client.next();
        EXPECT_EQ(reply.status, row.status);
        EXPECT_TRUE(!row.xml || reply.text.find("Content-Type: application/xml; charset=UTF-8") !=
                                    std::string::npos)
            << reply.text;
        EXPECT_EQ(reply.text.find("Connection: close") != std::string::npos, row.closes);
        if (row.closes) {
            EXPECT_TRUE(client.read().closed);
        }
        EXPECT_EQ(Client(server->port()).get(kLookup).status, 200);
        if (!row.closes) {
            EXPECT_EQ(client.get(kLookup).status, 200);
        }
    }
}

// Requests after the first on a connection are answered on it, one at a time or sent together.
TEST_F(LiveServer, AnswersMoreRequestsOnAKeptAliveConnection)
{
    const std::string request = "GET " + kLookup + " HTTP/1.1\r\nHost: x\r\n\r\n";
    Client client(server->port());
    EXPECT_EQ(client.get(kLookup).status, 200);
    EXPECT_EQ(client.get(kLookup).status, 200);
    client.send(request + request);
    for (int i = 0; i < 2; ++i) {
        const Reply reply = client.next();
        EXPECT_EQ(reply.status, 200);
        EXPECT_FALSE(reply.closed);
    }
}

// After a reply, the next request must be whole within the deadline however often it sends a
// byte, or the connection is closed; an idle one is closed then too.
TEST_F(LiveServer, ClosesAKeptAliveConnectionAtTheNextRequestsDeadline)
{
    using std::chrono::milliseconds;
    for (const milliseconds interval : {milliseconds(0), milliseconds(100)}) { // idle, trickling
        SCOPED_TRACE(interval.count());
        Client client(server->port());
        ASSERT_EQ(client.get(kLookup).status, 200);
        const auto start = std::chrono::steady_clock::now();
        const std::string request = "GET " + kLookup + " HTTP/1.1\r\nHost: x\r\n\r\n";
        for (std::size_t i = 0;
             interval.count() > 0 && i < request.size() - 1 && client.send(request.substr(i, 1));
             ++i) {
            std::this_thread::sleep_for(interval);
        }
        const Reply reply = client.read();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(reply.status, 0);
        EXPECT_TRUE(reply.closed);
        EXPECT_GT(took, limits.requestTime * 7 / 8);
        EXPECT_LT(took, limits.requestTime + milliseconds(1000));
    }
}

// Hundreds of clients that trickle their requests hold none of the server's slots: a good
// request is answered meanwhile, and each trickler is cut off at its deadline however often it
// sends a byte.
TEST_F(LiveServer, SlowClientsAreCutOffAtTheirDeadlineAndStallNobody)
{
    std::vector<std::unique_ptr<Client>> slow;
    for (int i = 0; i < 300; ++i) {
        slow.push_back(std::make_unique<Client>(server->port()));
        ASSERT_TRUE(slow.back()->send("GET /cellid_location/?&cellid=314&oper"));
    }
    EXPECT_EQ(Client(server->port()).get(kLookup).status, 200);
    const auto deadline = std::chrono::steady_clock::now() + limits.requestTime;
    while (std::chrono::steady_clock::now() < deadline) {
        for (auto& client : slow) {
            client->send("a"); // fails once the server has closed it
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    for (auto& client : slow) {
        const Reply reply = client->read();
        EXPECT_EQ(reply.status, 408);
        EXPECT_TRUE(reply.closed);
    }
}

// A lookup that fails inside the service (a database gone bad) is answered as the server's own
// fault, in XML, and the server goes on serving.
TEST(HttpServer, AnswersAFailedLookupAsAnInternalError)
{
    std::atomic<bool> fail = true; // read on the server's threads
    HttpServer server(ListenAddress{"127.0.0.1", 0}, [&fail](auto, auto) {
        if (fail) {
            throw std::runtime_error("database disk image is malformed");
        }
        return HttpReply{200, "<ok/>"};
    });
    const Reply reply = Client(server.port()).get(kLookup);
    EXPECT_EQ(reply.status, 500);
    EXPECT_NE(reply.text.find("internalError"), std::string::npos) << reply.text;
    fail = false;
    EXPECT_EQ(Client(server.port()).get(kLookup).status, 200);
}

// A client that resets its connection before its request is whole is let go at once, not held
// until its deadline: a stream of such clients must not use up the server's descriptors.
TEST_F(LiveServer, LetsGoAtOnceOfAClientThatResets)
{
    limits.requestTime = std::chrono::minutes(1);
    server = std::make_unique<HttpServer>(
        ListenAddress{"127.0.0.1", 0},
        [this](auto method, auto target) { return service.handle(method, target); }, limits);
    const auto openDescriptors = [] {
        const std::filesystem::directory_iterator fds("/proc/self/fd");
        return std::distance(begin(fds), end(fds));
    };
    const auto before = openDescriptors();
    for (int i = 0; i < 20; ++i) {
        Client client(server->port());
        if (i % 2 == 1) { // half of them after part of a request
            client.send("GET /cellid_location/?&cellid=314&oper");
        }
        client.reset();
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (openDescriptors() > before && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Fewer is fine: a descriptor the server held for a moment as `before` was counted.
    EXPECT_LE(openDescriptors(), before);
}

// An import into the database being served shows once it has committed, without a restart;
// stopping closes open connections and the port.
TEST_F(LiveServer, ShowsAnImportWhileServingAndStopsCleanly)
{
    const std::string update = dir.write(
        "update.csv", "GSM,250,1,78,314,0,37.5,55.5,900,20,1,1300000000,1700000001,-80\n");
    ASSERT_EQ(importFile(update, database, 16, {}, std::atomic<bool>{false}).stored, 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string text;
    while (std::chrono::steady_clock::now() < deadline &&
           text.find(R"(latitude="55.50000")") == std::string::npos) {
        text = Client(server->port()).get(kLookup).text;
    }
    EXPECT_NE(text.find(R"(latitude="55.50000")"), std::string::npos) << text;

    Client connected(server->port());
    const unsigned port = server->port();
    server->stop();
    EXPECT_TRUE(connected.read().closed);
    EXPECT_THROW(Client{port}, std::runtime_error);
}

} // namespace
