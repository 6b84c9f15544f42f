#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/HttpServer.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ReaderPool.h"
#include "tools/cellsvc/tests/TestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
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
        {
            ExportReader reader(kSample);
            CellWriter writer(database, 16);
            importExport(reader, writer, {}, std::atomic<bool>{false});
        }
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

TEST_F(LiveServer, AnswersTheLocatorsRequestWithXml)
{
    Client client(server->port());
    const Reply reply = client.get(kLookup);
    EXPECT_EQ(reply.status, 200);
    EXPECT_NE(reply.head.find("Content-Type: application/xml; charset=UTF-8"), std::string::npos);
    EXPECT_EQ(reply.body, R"(<?xml version="1.0" encoding="UTF-8"?><location source="cell">)"
                          R"(<coordinates latitude="55.75580" longitude="37.61730" range="1200" )"
                          R"(samples="14"/></location>)");
}

TEST_F(LiveServer, AnswersOneRequestPerConnection)
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
        EXPECT_NE(reply.head.find("Connection: close"), std::string::npos);
        EXPECT_TRUE(reply.body.starts_with(R"(<?xml version="1.0" encoding="UTF-8"?>)"));
        EXPECT_EQ(reply.body.find("error") == std::string::npos, status == 200);
        EXPECT_TRUE(client.closedByServer());
    }
}

TEST_F(LiveServer, RefusesAMegabyteQueryAndGoesOn)
{
    {
        Client huge(server->port());
        huge.send("GET /cellid_location/?" + std::string(1 << 20, 'a') +
                  " HTTP/1.1\r\nHost: x\r\n\r\n");
        EXPECT_EQ(huge.read().status, 414);
        EXPECT_TRUE(huge.closedByServer());
    }
    Client next(server->port());
    EXPECT_EQ(next.get(kLookup).status, 200);
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

// Whatever comes in, the answer is an error status, and the server goes on serving.
struct Garbage {
    const char* name;
    std::string request;
    int status;
};

void PrintTo(const Garbage& row, std::ostream* out)
{
    *out << row.name;
}

class GarbageRequest : public LiveServer, public testing::WithParamInterface<Garbage>
{
};

TEST_P(GarbageRequest, IsRefusedWithAStatus)
{
    {
        Client client(server->port());
        client.send(GetParam().request);
        EXPECT_EQ(client.read().status, GetParam().status);
        EXPECT_TRUE(client.closedByServer());
    }
    Client next(server->port());
    EXPECT_EQ(next.get(kLookup).status, 200);
}

INSTANTIATE_TEST_SUITE_P(
    HttpServer, GarbageRequest,
    testing::Values(
        Garbage{"NoTarget", "GET\r\n\r\n", 400}, Garbage{"NoSpaceAtAll", "GARBAGE\r\n\r\n", 400},
        Garbage{"Binary", std::string(8192, '\xff') + "\r\n\r\n", 400},
        Garbage{"NoVersion", "GET /cellid_location/\r\n\r\n", 400},
        Garbage{"ControlInMethod", "G\x01T / HTTP/1.1\r\n\r\n", 400},
        Garbage{"UnknownVersion", "GET / HTTP/9.9\r\n\r\n", 505},
        Garbage{"HugeHeader",
                "GET /cellid_location/ HTTP/1.1\r\n" + std::string(40000, 'h') + ": x\r\n\r\n",
                431},
        Garbage{"NegativeLength",
                "GET /cellid_location/ HTTP/1.1\r\nHost: x\r\nContent-Length: -5\r\n\r\n", 400}),
    [](const auto& info) { return std::string(info.param.name); });

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

struct Listen {
    const char* name;
    const char* text;
    std::optional<ListenAddress> address;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const Listen& row, std::ostream* out)
{
    *out << row.name;
}

class ListenOption : public testing::TestWithParam<Listen>
{
};

TEST_P(ListenOption, IsRead)
{
    const auto parsed = parseListenAddress(GetParam().text);
    ASSERT_EQ(parsed.has_value(), GetParam().address.has_value());
    if (parsed) {
        EXPECT_EQ(parsed->host, GetParam().address->host);
        EXPECT_EQ(parsed->port, GetParam().address->port);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HttpServer, ListenOption,
    testing::Values(Listen{"Default", "127.0.0.1:8642", ListenAddress{"127.0.0.1", 8642}},
                    Listen{"Ipv6InBrackets", "[::1]:8642", ListenAddress{"::1", 8642}},
                    Listen{"NoPort", "127.0.0.1", std::nullopt},
                    Listen{"PortTooLarge", "127.0.0.1:65536", std::nullopt},
                    Listen{"Ipv6WithoutBrackets", "::1:8642", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
