#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/HttpServer.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ReaderPool.h"
#include "tools/cellsvc/tests/TestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace cellsvc;
using namespace cellsvc::test;

namespace
{

const std::string kLookup = "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78";

// The sample served on an ephemeral port of 127.0.0.1, as `cellsvc serve` does.
class LiveServer : public testing::Test
{
protected:
    void SetUp() override
    {
        importFile(kSample, database, 16, {}, std::atomic<bool>{false});
        readers = std::make_unique<ReaderPool>(database, 2);
        service = std::make_unique<CellService>(
            [this](const CellKey& key) { return readers->find(key); });
        server = std::make_unique<HttpServer>(
            ListenAddress{"127.0.0.1", 0},
            [this](std::string_view method, std::string_view target) {
                return service->handle(method, target);
            },
            limits);
    }

    ServerLimits limits; // a test may change them before SetUp
    TempDir dir;
    std::string database = dir.file("cells.db");
    std::unique_ptr<ReaderPool> readers;
    std::unique_ptr<CellService> service;
    std::unique_ptr<HttpServer> server;
};

TEST_F(LiveServer, AnswersOneRequestPerConnectionInXml)
{
    const std::vector<std::pair<std::string, int>> exchanges{
        {kLookup, 200},
        {"/cellid_location/?&cellid=999&operatorid=1&countrycode=250&lac=78", 404},
        {"/cellid_location/?&cellid=%zz&operatorid=1&countrycode=250&lac=78", 400},
        {"/cellid_location/?" + std::string(4000, 'q'), 414}};
    for (const auto& [target, status] : exchanges) {
        SCOPED_TRACE(target.substr(0, 60));
        Client client(server->port());
        const Reply reply = client.get(target);
        EXPECT_EQ(reply.status, status);
        EXPECT_NE(reply.head.find("Content-Type: application/xml; charset=UTF-8"),
                  std::string::npos);
        EXPECT_NE(reply.head.find("Connection: close"), std::string::npos);
        EXPECT_TRUE(client.closedByServer());
    }
}

// Hundreds of clients that trickle their requests hold none of the server's slots: a good
// request is answered meanwhile, and each trickler is cut off at its deadline however often it
// sends a byte.
class SlowClients : public LiveServer
{
protected:
    void SetUp() override
    {
        limits.requestTime = std::chrono::milliseconds(1500);
        LiveServer::SetUp();
    }
};

TEST_F(SlowClients, AreCutOffAtTheirDeadlineAndStallNobody)
{
    std::vector<std::unique_ptr<Client>> slow;
    for (int i = 0; i < 300; ++i) {
        slow.push_back(std::make_unique<Client>(server->port()));
        ASSERT_TRUE(slow.back()->send("GET /cellid_location/?&cellid=314&oper"));
    }
    Client good(server->port());
    EXPECT_EQ(good.get(kLookup).status, 200);
    const auto deadline = std::chrono::steady_clock::now() + limits.requestTime;
    while (std::chrono::steady_clock::now() < deadline) {
        for (auto& client : slow) {
            client->send("a"); // fails once the server has closed it
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    for (auto& client : slow) {
        EXPECT_EQ(client->read().status, 408);
        EXPECT_TRUE(client->closedByServer());
    }
}

// Whatever comes in, the answer is an error status, and the server goes on serving. A request
// line the gate finds implausible is refused by the gate itself; a head too large for the
// server's request memory is handed on for the server to refuse.
TEST_F(LiveServer, RefusesGarbageAndGoesOn)
{
    const struct {
        const char* name;
        std::string request;
        int status;
    } rows[] = {
        {"no target", "GET\r\n\r\n", 400},
        {"no space at all", "GARBAGE\r\n\r\n", 400},
        {"binary", std::string(8192, '\xff') + "\r\n\r\n", 400},
        {"no version", "GET /cellid_location/\r\n\r\n", 400},
        {"control byte in the method", "G\x01T / HTTP/1.1\r\n\r\n", 400},
        {"a megabyte query",
         "GET /cellid_location/?" + std::string(1 << 20, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n",
         414},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        {
            Client client(server->port());
            client.send(row.request);
            EXPECT_EQ(client.read().status, row.status);
            EXPECT_TRUE(client.closedByServer());
        }
        EXPECT_EQ(Client(server->port()).get(kLookup).status, 200);
    }
}

TEST_F(LiveServer, APostWithABodyIsRefused)
{
    Client client(server->port());
    client.send("POST /cellid_location/ HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello");
    const Reply reply = client.read();
    EXPECT_EQ(reply.status, 405);
    EXPECT_NE(reply.head.find("Allow: GET, HEAD"), std::string::npos);
}

// An import into the database being served: the server keeps answering from the previous
// data, then shows the new data once the import has committed, without a restart.
TEST_F(LiveServer, ShowsAnImportThatCommitsWhileServing)
{
    const std::string update = dir.write(
        "update.csv", "GSM,250,1,78,314,0,37.5,55.5,900,20,1,1300000000,1700000001,-80\n");
    {
        ExportReader reader(update);
        CellWriter writer(database, 16);
        CellRecord moved;
        std::string problem;
        ASSERT_TRUE(parseExportRow("GSM,250,1,78,314,0,1,1,1,1,1,1,1800000000,0", moved, problem));
        writer.begin();
        writer.upsert(moved); // not committed: the server must still give the old position
        EXPECT_NE(Client(server->port()).get(kLookup).body.find(R"(latitude="55.75580")"),
                  std::string::npos);
        writer.rollback();
        importExport(reader, writer, {}, std::atomic<bool>{false});
        writer.checkpoint();
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string body;
    while (std::chrono::steady_clock::now() < deadline &&
           body.find(R"(latitude="55.50000")") == std::string::npos) {
        body = Client(server->port()).get(kLookup).body;
    }
    EXPECT_NE(body.find(R"(latitude="55.50000")"), std::string::npos) << body;
}

TEST_F(LiveServer, StopClosesOpenConnectionsAndThePort)
{
    Client connected(server->port());
    const unsigned port = server->port();
    server->stop();
    EXPECT_TRUE(connected.closedByServer());
    EXPECT_THROW(Client{port}, std::runtime_error);
}

TEST(HttpServer, ReadsTheListenOption)
{
    const struct {
        const char* text;
        std::optional<ListenAddress> address;
    } rows[] = {
        {"127.0.0.1:8642", ListenAddress{"127.0.0.1", 8642}},
        {"[::1]:8642", ListenAddress{"::1", 8642}},
        {"127.0.0.1", std::nullopt},
        {"127.0.0.1:65536", std::nullopt},
        {"::1:8642", std::nullopt}, // an IPv6 address needs its brackets
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto parsed = parseListenAddress(row.text);
        ASSERT_EQ(parsed.has_value(), row.address.has_value());
        if (parsed) {
            EXPECT_EQ(parsed->host, row.address->host);
            EXPECT_EQ(parsed->port, row.address->port);
        }
    }
}

} // namespace
