#include "platform/web/NetworkPageLoader.h"

#include "platform/web/tests/GuiApp.h"
#include "platform/web/tests/LocalHttpServer.h"
#include "platform/web/tests/WaitUntil.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace
{

const QByteArray xmlReply =
    R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)";

// Counts what a loader reports and keeps the text of each page as it arrives.
struct Recorder {
    explicit Recorder(PageLoader& loader)
    {
        QObject::connect(&loader, &PageLoader::DocumentComplete, &loader,
                         [this, &loader] { pages << loader.bodyText(); });
        QObject::connect(&loader, &PageLoader::loadFailed, &loader,
                         [this](const QString& reason) { failures << reason; });
    }
    int reports() const { return static_cast<int>(pages.size() + failures.size()); }
    QStringList pages;
    QStringList failures;
};

class NetworkPageLoaderTest : public testing::Test
{
protected:
    QString at(const char* path) const { return server.base() + QString::fromLatin1(path); }

    QGuiApplication& app = guiApp(); // before the server, whose sockets need the event loop
    LocalHttpServer server;
};

struct PageRow {
    const char* shows;
    LocalHttpServer::Reply reply;
    QString expectedText;
};

void PrintTo(const PageRow& row, std::ostream* os)
{
    *os << row.shows;
}

class RepliesArePages : public NetworkPageLoaderTest, public testing::WithParamInterface<PageRow>
{
};

TEST_P(RepliesArePages, CompleteWithTheirBodyText)
{
    server.route("/page", GetParam().reply);
    NetworkPageLoader loader;
    Recorder seen(loader);

    loader.Navigate(at("/page?&cellid=314"));
    EXPECT_EQ(seen.reports(), 0) << "Navigate returns before the page is there";

    ASSERT_TRUE(waitUntil([&] { return seen.reports() > 0; }));
    EXPECT_TRUE(seen.failures.isEmpty()) << seen.failures.join(' ').toStdString();
    EXPECT_EQ(seen.pages, QStringList{GetParam().expectedText});
    EXPECT_EQ(loader.bodyText(), GetParam().expectedText);
    EXPECT_EQ(server.targets, QStringList{QStringLiteral("/page?&cellid=314")});
}

INSTANTIATE_TEST_SUITE_P(
    Table, RepliesArePages,
    testing::Values(
        PageRow{"XmlLocation", {200, "text/xml", xmlReply, {}, false}, QString::fromUtf8(xmlReply)},
        PageRow{"HtmlPage",
                {200,
                 "text/html",
                 "<html><head><title>t</title></head><body><h1>Cell</h1>"
                 "<p>coordinates \"55.7\" \"37.6\"</p></body></html>",
                 {},
                 false},
                QStringLiteral("Cell\ncoordinates \"55.7\" \"37.6\"")},
        PageRow{"ServerErrorIsAPageToo",
                {500, "text/plain", "error: no such cell", {}, false},
                QStringLiteral("error: no such cell")},
        PageRow{"NotFoundHtml",
                {404, "text/html", "<html><body>Not here</body></html>", {}, false},
                QStringLiteral("Not here")}),
    [](const auto& info) { return std::string(info.param.shows); });

TEST_F(NetworkPageLoaderTest, FollowsRedirects)
{
    server.route("/moved", {302, "text/plain", "moved", {{"Location", "/xml"}}, false});
    server.route("/xml", {200, "text/xml", xmlReply, {}, false});
    NetworkPageLoader loader;
    Recorder seen(loader);

    loader.Navigate(at("/moved"));
    ASSERT_TRUE(waitUntil([&] { return seen.reports() > 0; }));
    EXPECT_EQ(seen.pages, QStringList{QString::fromUtf8(xmlReply)});
}

TEST_F(NetworkPageLoaderTest, ASecondNavigateOvertakesASlowReply)
{
    server.route("/slow", {200, "text/plain", "coordinates \"1\" \"slow\"", {}, true});
    server.route("/fast", {200, "text/plain", "coordinates \"2\" \"fast\"", {}, false});
    NetworkPageLoader loader;
    Recorder seen(loader);

    loader.Navigate(at("/slow"));
    ASSERT_TRUE(waitUntil([&] { return server.targets.contains(QStringLiteral("/slow")); }));
    loader.Navigate(at("/fast"));
    ASSERT_TRUE(waitUntil([&] { return seen.reports() > 0; }));

    // The overtaken request is dropped by the client; answering it now changes nothing.
    ASSERT_TRUE(waitUntil([&] { return server.closedByPeer.contains(QStringLiteral("/slow")); }));
    server.release("/slow");
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.pages, QStringList{QStringLiteral("coordinates \"2\" \"fast\"")});
    EXPECT_TRUE(seen.failures.isEmpty());
}

TEST_F(NetworkPageLoaderTest, UnreachablePortFailsWithAReason)
{
    NetworkPageLoader loader;
    Recorder seen(loader);

    loader.Navigate(QStringLiteral("http://127.0.0.1:%1/cellid_location/").arg(unusedLocalPort()));
    ASSERT_TRUE(waitUntil([&] { return seen.reports() > 0; }));
    EXPECT_TRUE(seen.pages.isEmpty());
    ASSERT_EQ(seen.failures.size(), 1);
    EXPECT_FALSE(seen.failures[0].isEmpty());
}

TEST_F(NetworkPageLoaderTest, NoAnswerInTimeFailsAndDropsTheConnection)
{
    server.route("/silent", {200, "text/plain", "too late", {}, true});
    NetworkPageLoader loader(nullptr, 100ms);
    Recorder seen(loader);

    loader.Navigate(at("/silent"));
    ASSERT_TRUE(waitUntil([&] { return seen.reports() > 0; }));
    EXPECT_EQ(seen.failures, QStringList{QStringLiteral("No answer within 0.1 seconds")});
    EXPECT_TRUE(waitUntil([&] { return server.closedByPeer.contains(QStringLiteral("/silent")); }));
}

TEST_F(NetworkPageLoaderTest, RefusesAddressesThatAreNotWebAddresses)
{
    NetworkPageLoader loader;
    Recorder seen(loader);

    loader.Navigate(QStringLiteral("file:///etc/passwd"));
    EXPECT_EQ(seen.reports(), 0) << "the failure comes after Navigate returns";
    ASSERT_TRUE(waitUntil([&] { return seen.reports() > 0; }));
    EXPECT_TRUE(seen.pages.isEmpty());
    EXPECT_EQ(seen.failures.size(), 1);
}

TEST_F(NetworkPageLoaderTest, AnOvertakenRefusalReportsNothing)
{
    server.route("/xml", {200, "text/xml", xmlReply, {}, false});
    NetworkPageLoader loader;
    Recorder seen(loader);

    loader.Navigate(QStringLiteral("not an address"));
    loader.Navigate(at("/xml"));
    ASSERT_TRUE(waitUntil([&] { return !seen.pages.isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(seen.failures.isEmpty());
    EXPECT_EQ(seen.pages.size(), 1);
}

} // namespace
