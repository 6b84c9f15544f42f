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
        ServerLimits limits;
        limits.idleTimeoutSeconds = 30; // longer than any test: only the client ends a wait
        server = std::make_unique<HttpServer>(
            ListenAddress{"127.0.0.1", 0},
            [this](std::string_view method, std::string_view target) {
                return service->handle(method, target);
            },
            limits);
    }

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

TEST_F(LiveServer, KeepsTheConnectionForFurtherRequests)
{
    Client client(server->port());
    const std::vector<std::pair<std::string, int>> exchanges{
        {kLookup, 200},
        {"/cellid_location/?&cellid=999&operatorid=1&countrycode=250&lac=78", 404},
        {"/cellid_location/?&cellid=%zz&operatorid=1&countrycode=250&lac=78", 400},
        {"/cellid_location/?" + std::string(4000, 'q'), 414},
        {kLookup, 200}};
    for (const auto& [target, status] : exchanges) {
        SCOPED_TRACE(target.substr(0, 60));
        const Reply reply = client.get(target);
        EXPECT_EQ(reply.status, status);
        EXPECT_TRUE(reply.body.starts_with(R"(<?xml version="1.0" encoding="UTF-8"?>)"));
        EXPECT_EQ(reply.body.find("error") == std::string::npos, status == 200);
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

TEST_F(LiveServer, ASlowClientStallsNobody)
{
    Client slow(server->port());
    ASSERT_TRUE(slow.send("GET /cellid_location/?&cellid=314&oper"));
    std::vector<std::unique_ptr<Client>> idle; // more open connections than threads
    for (int i = 0; i < 20; ++i) {
        idle.push_back(std::make_unique<Client>(server->port()));
        idle.back()->send("G");
    }
    Client other(server->port());
    EXPECT_EQ(other.get(kLookup).status, 200);
    ASSERT_TRUE(slow.send("atorid=1&countrycode=250&lac=78 HTTP/1.1\r\nHost: x\r\n\r\n"));
    EXPECT_EQ(slow.read().status, 200);
}

// Whatever comes in, the answer is an error status or a closed connection, and the server
// goes on serving.
TEST_F(LiveServer, GarbageIsRefusedOrDropped)
{
    const std::vector<std::string> garbage{
        "GET\r\n\r\n",
        "GET / HTTP/9.9\r\n\r\n",
        "GET /cellid_location/?&cellid=314\r\n\r\n",
        std::string(8192, '\xff') + "\r\n\r\n",
        "GET /cellid_location/ HTTP/1.1\r\n" + std::string(40000, 'h') + ": x\r\n\r\n",
        "GET /cellid_location/ HTTP/1.1\r\nHost: x\r\nContent-Length: -5\r\n\r\n"};
    for (const std::string& request : garbage) {
        SCOPED_TRACE(request.substr(0, 20));
        Client client(server->port());
        client.send(request);
        const Reply reply = client.read();
        EXPECT_TRUE(reply.status >= 400 ? reply.status < 600 : client.closedByServer())
            << reply.status;
    }
    Client next(server->port());
    EXPECT_EQ(next.get(kLookup).status, 200);
}

TEST_F(LiveServer, APostWithABodyIsRefused)
{
    Client client(server->port());
    client.send("POST /cellid_location/ HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello");
    const Reply reply = client.read();
    EXPECT_EQ(reply.status, 405);
    EXPECT_NE(reply.head.find("Allow: GET, HEAD"), std::string::npos);
}

TEST_F(LiveServer, HeadGivesTheHeadersOnly)
{
    Client client(server->port());
    client.send("HEAD " + kLookup + " HTTP/1.1\r\nHost: x\r\n\r\n");
    const Reply head = client.read(true);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(client.get(kLookup).status, 200) << "nothing of a body was left on the line";
}

// An import into the database being served: the server keeps answering from the previous
// data, then shows the new data once the import has committed, without a restart.
TEST_F(LiveServer, ShowsAnImportThatCommitsWhileServing)
{
    Client client(server->port());
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
        EXPECT_NE(client.get(kLookup).body.find(R"(latitude="55.75580")"), std::string::npos);
        writer.rollback();
        importExport(reader, writer, {}, std::atomic<bool>{false});
        writer.checkpoint();
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string body;
    while (std::chrono::steady_clock::now() < deadline &&
           body.find(R"(latitude="55.50000")") == std::string::npos) {
        body = client.get(kLookup).body;
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
