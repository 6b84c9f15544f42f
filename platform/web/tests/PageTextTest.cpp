#include "platform/web/PageText.h"

#include "platform/web/tests/GuiApp.h"

#include <gtest/gtest.h>

namespace
{

struct PageTextRow {
    const char* shows;
    QByteArray contentType;
    QByteArray body;
    QString expected;
};

void PrintTo(const PageTextRow& row, std::ostream* os)
{
    *os << row.shows;
}

class PageTextTable : public testing::TestWithParam<PageTextRow>
{
};

TEST_P(PageTextTable, IsWhatABrowserShows)
{
    guiApp();
    EXPECT_EQ(pageText(GetParam().body, GetParam().contentType), GetParam().expected);
}

const QByteArray xmlReply =
    R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)";

INSTANTIATE_TEST_SUITE_P(
    Table, PageTextTable,
    testing::Values(
        PageTextRow{"XmlAsItArrived", "text/xml", xmlReply, QString::fromUtf8(xmlReply)},
        PageTextRow{"XmlApplicationType", "application/xml; charset=utf-8", xmlReply,
                    QString::fromUtf8(xmlReply)},
        PageTextRow{"JsonAsItArrived", "application/json", R"({"coordinates": ["55.7", "37.6"]})",
                    QStringLiteral(R"({"coordinates": ["55.7", "37.6"]})")},
        PageTextRow{"MarkupInPlainTextStays", "text/plain", "<b>error</b>",
                    QStringLiteral("<b>error</b>")},
        PageTextRow{"HtmlBodyWithoutHeadScriptOrStyle", "text/html",
                    "<html><head><title>error</title><style>p{color:red}</style>"
                    "<script>var e = \"error\";</script></head>"
                    "<body><p>coordinates <b>\"1.5\"</b> &amp; &quot;2.5&quot;</p></body></html>",
                    QStringLiteral("coordinates \"1.5\" & \"2.5\"")},
        PageTextRow{"HtmlAttributesAreNotText", "text/html; charset=utf-8",
                    R"(<body><a href="x" title="error">Map</a></body>)", QStringLiteral("Map")},
        PageTextRow{"HtmlSniffedWithoutContentType", "",
                    "<!DOCTYPE html><html><body><i>ID</i> 5</body></html>", QStringLiteral("ID 5")},
        PageTextRow{"CharsetFromHeader", "text/plain; charset=\"windows-1251\"",
                    "\xcc\xee\xf1\xea\xe2\xe0", QStringLiteral("Москва")},
        PageTextRow{"HtmlCharsetFromMeta", "text/html",
                    "<html><head><meta charset=\"ISO-8859-1\"></head><body>caf\xe9</body></html>",
                    QStringLiteral("café")},
        PageTextRow{"Utf8WhenNothingIsNamed", "text/plain", "\xd0\x9c\xd0\xa2\xd0\xa1",
                    QStringLiteral("МТС")}),
    [](const auto& info) { return std::string(info.param.shows); });

} // namespace
