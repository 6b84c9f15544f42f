#include "platform/web/PageText.h"

#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

namespace
{

TEST(PageText, IsWhatABrowserShows)
{
    GuiApp app;
    const QByteArray xml =
        R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)";
    const struct {
        const char* shows;
        QByteArray contentType;
        QByteArray body;
        QString expected;
    } rows[] = {
        {"xml as it arrived", "text/xml", xml, QString::fromUtf8(xml)},
        {"markup in plain text stays", "text/plain", "<b>error</b>", "<b>error</b>"},
        {"html body without title, style, script or attributes", "text/html; charset=utf-8",
         "<html><head><title>error</title><style>p{}</style><script>e=\"error\"</script></head>"
         "<body><p title=\"error\">coordinates <b>\"1.5\"</b> &amp; &quot;2.5&quot;</p></body>",
         "coordinates \"1.5\" & \"2.5\""},
        {"html sniffed without a content type", "", "<!DOCTYPE html><body><i>ID</i> 5</body>",
         "ID 5"},
        {"charset named by the header", "text/plain; charset=\"windows-1251\"",
         "\xcc\xee\xf1\xea\xe2\xe0", QStringLiteral("Москва")},
        {"html charset from its meta tag", "text/html",
         "<html><head><meta charset=\"ISO-8859-1\"></head><body>caf\xe9</body></html>",
         QStringLiteral("café")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(pageText(row.body, row.contentType), row.expected);
    }
}

} // namespace
