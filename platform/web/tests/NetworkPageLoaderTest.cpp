// What the loader does beyond a plain page; pages, error replies, overtaking and unreachable
// services are tested through the locator window in plover/tests.
#include "platform/web/NetworkPageLoader.h"

#include "platform/web/tests/LocalHttpServer.h"
#include "tests/support/WaitUntil.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace
{

class NetworkPageLoaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&loader, &PageLoader::DocumentComplete,
                         [this] { pages << loader.bodyText(); });
        QObject::connect(&loader, &PageLoader::loadFailed,
                         [this](const QString& why) { failures << why; });
    }
    bool reported() const { return !pages.isEmpty() || !failures.isEmpty(); }

    GuiApp app; // before the server, whose sockets need the event loop
    LocalHttpServer server;
    NetworkPageLoader loader{nullptr, 500ms}; // short, for the timeout test
    QStringList pages;
    QStringList failures;
};

TEST_F(NetworkPageLoaderTest, FollowsRedirects)
{
    server.route("/moved", {302, "text/plain", "moved", {{"Location", "/xml"}}, false});
    server.route("/xml", {200, "text/xml", "<location/>", {}, false});
    loader.Navigate(server.base() + "/moved");
    EXPECT_FALSE(reported()) << "Navigate returns before the page is there";
    ASSERT_TRUE(waitUntil([&] { return reported(); }));
    EXPECT_EQ(pages, QStringList{QStringLiteral("<location/>")});
}

TEST_F(NetworkPageLoaderTest, NoAnswerInTimeFailsAndDropsTheConnection)
{
    server.route("/silent", {200, "text/plain", "too late", {}, true});
    loader.Navigate(server.base() + "/silent");
    ASSERT_TRUE(waitUntil([&] { return reported(); }));
    EXPECT_EQ(failures, QStringList{QStringLiteral("No answer within 0.5 seconds")});
    EXPECT_TRUE(waitUntil([&] { return server.closedByPeer.contains(QStringLiteral("/silent")); }));
}

TEST_F(NetworkPageLoaderTest, RefusesOtherSchemesUnlessOvertaken)
{
    loader.Navigate(QStringLiteral("file:///etc/passwd"));
    EXPECT_FALSE(reported()) << "the refusal comes after Navigate returns";
    ASSERT_TRUE(waitUntil([&] { return reported(); }));
    EXPECT_EQ(failures.size(), 1);

    server.route("/xml", {200, "text/xml", "<location/>", {}, false});
    loader.Navigate(QStringLiteral("not an address"));
    loader.Navigate(server.base() + "/xml");
    ASSERT_TRUE(waitUntil([&] { return !pages.isEmpty(); }));
    EXPECT_EQ(failures.size(), 1) << "the overtaken refusal reports nothing";
}

} // namespace
