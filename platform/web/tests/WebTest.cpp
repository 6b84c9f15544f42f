// What the loader makes of replies, hostile ones included, and what the opener hands to xdg-open
// and makes of its end; error replies, overtaking and unreachable services are tested through the
// locator window in plover/tests.
#include "platform/web/DesktopUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "platform/web/tests/LocalHttpServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>
#include <optional>

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
        QObject::connect(&loader, &PageLoader::replyTooLarge,
                         [this] { failures << QStringLiteral("too large"); });
    }
    // Navigates and waits for what it comes to: a page or a failure.
    void load(const QString& address)
    {
        pages.clear();
        failures.clear();
        loader.Navigate(address);
        EXPECT_TRUE(pages.isEmpty() && failures.isEmpty()) << "Navigate reports later";
        ASSERT_TRUE(waitUntil([&] { return !pages.isEmpty() || !failures.isEmpty(); }));
    }

    GuiApp app; // before the server, whose sockets need the event loop
    LocalHttpServer server;
    NetworkPageLoader loader{nullptr, 500ms}; // short, for the timeout test
    QStringList pages;
    QStringList failures;
};

// Each reply as the text a browser would show, or refused as too large.
TEST_F(NetworkPageLoaderTest, ShowsEachReplyAsABrowserWouldOrRefusesIt)
{
    const QByteArray xml =
        R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)";
    const QByteArray deep = QByteArray("<table><tr><td>").repeated(30000) + "deep" +
                            QByteArray("</td></tr></table>").repeated(30000);
    const QByteArray limit(PageLoader::MaxReplyBytes, 'x');
    const struct {
        const char* shows;
        QByteArray contentType;
        QByteArray body;
        std::optional<QString> text; // none: refused as too large
    } rows[] = {
        {"xml as it arrived", "text/xml", xml, QString::fromUtf8(xml)},
        {"html body without title, style, script or attributes", "text/html; charset=utf-8",
         "<html><head><title>error</title><style>p{}</style><script>e=\"error\"</script></head>"
         "<body><p title=\"err>or\">coordinates <b>\"1.5\"</b> &amp; &quot;2.5&quot;</p></body>",
         "coordinates \"1.5\" & \"2.5\""},
        {"html sniffed without a content type", "", "<!DOCTYPE html><body><i>ID</i> 5</body>",
         "ID 5"},
        {"table cells on lines of their own", "text/html",
         "<table><tr><td>a</td><td> b </td></tr><tr><td>c</td></tr></table>", "a\nb\nc"},
        {"30000 nested tables", "text/html", deep, "deep"},
        {"comment, quote and lone marks left open", "text/html",
         "<p>1 < 2 &bogus; &#x110000; &#xD800; 55&#176;&#x41;</p><!-- <p>hidden",
         "1 < 2 &bogus; \uFFFD \uFFFD 55\u00B0A"},
        {"charset named by the header, whatever follows it",
         "text/plain; charset=\"windows-1251\"; format=flowed", "\xcc\xee\xf1\xea\xe2\xe0",
         QStringLiteral("Москва")},
        {"charset named without quotes", "text/plain; charset=windows-1251",
         "\xcc\xee\xf1\xea\xe2\xe0", QStringLiteral("Москва")},
        {"html charset from its meta tag", "text/html",
         "<html><head><meta charset=\"ISO-8859-1\"></head><body>caf\xe9</body></html>",
         QStringLiteral("café")},
        {"utf-16 by its byte order mark", "text/plain",
         "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(u"coordinates \"1\""), 30),
         "coordinates \"1\""},
        {"invalid utf-8 bytes", "text/plain", "a\xff\xfe b", "a\uFFFD\uFFFD b"},
        {"exactly 1 MiB", "text/plain", limit, QString::fromLatin1(limit)},
        {"one byte more", "text/plain", limit + "x", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        server.route("/page", {200, row.contentType, row.body, {}, false});
        load(server.base() + "/page");
        EXPECT_EQ(pages.value(0), row.text.value_or(QString()));
        EXPECT_EQ(failures, row.text ? QStringList{} : QStringList{QStringLiteral("too large")});
    }
}

TEST_F(NetworkPageLoaderTest, FollowsRedirectsAndFailsOnSilenceOrOtherAddresses)
{
    server.route("/moved", {302, "text/plain", "moved", {{"Location", "/xml"}}, false});
    server.route("/xml", {200, "text/xml", "<location/>", {}, false});
    load(server.base() + "/moved");
    EXPECT_EQ(pages, QStringList{QStringLiteral("<location/>")});

    server.route("/silent", {200, "text/plain", "too late", {}, true});
    load(server.base() + "/silent");
    EXPECT_EQ(failures, QStringList{QStringLiteral("No answer within 0.5 seconds")});
    EXPECT_TRUE(waitUntil([&] { return server.closedByPeer.contains(QStringLiteral("/silent")); }));

    for (const char* address : {"file://localhost/etc/passwd", "javascript://127.0.0.1/%0Aalert(1)",
                                "https:///no-host"}) {
        load(QString::fromLatin1(address));
        EXPECT_EQ(failures, QStringList{QStringLiteral("Not a web address: ") + address});
    }

    // A refusal overtaken by the next address reports nothing.
    loader.Navigate(QStringLiteral("not an address"));
    load(server.base() + "/xml");
    EXPECT_TRUE(failures.isEmpty());
}

// Takes xdg-open's place: ends as the address's last part says; "late" ends only after the
// opener's patience, and leaves a file when it does.
const char* const standInOpener = R"(#!/bin/sh
case "$1" in
*/exit3) exit 3 ;;
*/killed) kill -9 $$ ;;
*/late) sleep 2; : > "$0.late"; exit 4 ;;
esac
)";

TEST(DesktopUrlOpener, ReadsTheOpenersExitStatusWithoutWaitingForIt)
{
    TestApp<QCoreApplication> app;
    TempFolder folder;
    const QString program = folder.path(QStringLiteral("xdg-open"));
    ASSERT_TRUE(folder.write(QStringLiteral("xdg-open"), standInOpener));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    DesktopUrlOpener opener(program, 1500ms);
    DesktopUrlOpener nowhere(QStringLiteral("no-such-opener")); // on no folder of PATH
    QStringList failures;
    for (UrlOpener* each : {&opener, &nowhere})
        QObject::connect(each, &UrlOpener::notOpened, [&](const QUrl& url, const QString& why) {
            failures << url.toString() + " " + why;
        });

    const QStringList run{"https://map.test/opened", "https://map.test/exit3",
                          "https://map.test/killed", "http://map.test/late"};
    for (const QString& address : run)
        opener.open(QUrl(address));
    EXPECT_FALSE(QFile::exists(program + ".late")) << "open() waits for nothing";
    opener.open(QUrl(QStringLiteral("file://localhost/etc/passwd")));
    nowhere.open(QUrl(run[0]));
    EXPECT_TRUE(waitUntil([&] { return QFile::exists(program + ".late"); })) << "never killed";
    // Once this last one is reported, the end of every earlier one has been read.
    opener.open(QUrl(QStringLiteral("https://map.test/last/exit3")));
    ASSERT_TRUE(waitUntil([&] { return failures.size() == 5; }));

    failures.sort();
    EXPECT_EQ(failures.join('\n'), R"(file://localhost/etc/passwd only web addresses are opened
https://map.test/exit3 xdg-open ended with status 3: it found no web browser
https://map.test/killed xdg-open was ended by signal 9
https://map.test/last/exit3 xdg-open ended with status 3: it found no web browser
https://map.test/opened no-such-opener was not found)");
}

} // namespace
