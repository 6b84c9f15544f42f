#include "plover/lookup/CellLookup.h"

#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using lookup::CellLookup;

const QString mapBase = QStringLiteral("https://map.test");

QString mapAt(const QString& base, const QString& point)
{
    return base + "/?l=map/&pt=" + point + "&ll=" + point + "&z=10";
}

// Each page arrives after `coordinates "-1.5" ""`, which opens nothing and leaves -1.5 as the
// first value, so that a value kept from the page before would show.
TEST(CellLookupWeb1, ParsesEachReply)
{
    const struct {
        const char* shows;
        const char* page;
        const char* first;  // the first value afterwards (cleared when a map opened)
        const char* point;  // the map opened, "longitude,latitude", or nullptr
        const char* detail; // under "ID does not exist", or nullptr when that is not shown
    } rows[] = {
        {"xml location",
         R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)", "",
         "37.61730,55.75580", nullptr},
        {"quotes before the keyword", R"(id "7" coordinates "1.5" "2.5")", "", "2.5,1.5", nullptr},
        {"no keyword", R"(<?xml version="1.0"?><pt lat="1.5"/>)", "", nullptr, ""},
        {"the service's reason, on one line",
         "<?xml version=\"1.0\"?><error code=\"notANumber\">the value of lac &amp; <b>x</b>\n"
         " is not a decimal number</error>",
         "", nullptr, "the value of lac & x is not a decimal number"},
        // Q3 is 0, so Q4 is the first mark of the page: the second value is the text before it.
        {"one value after the keyword", R"(Cell 7 coordinates "12.5" end)", "", nullptr,
         "the longitude the service gave, \u201cCell 7 coordinates \u201d, is not a decimal "
         "number"},
        {"one value first", R"("12.5" coordinates)", "", nullptr, nullptr},
        {"empty second value", R"(coordinates "12.5" "")", "12.5", nullptr, nullptr},
        {"no quotes", "coordinates 55.7 37.6", "", nullptr, nullptr},
        {"no closing mark", R"(coordinates "55.7" "37.6)", "55.7", nullptr, nullptr},
        {"error inside a longer word", R"(coordinates "1" "2" terrors)", "", nullptr, ""},
        {"capital Error", R"(Error? coordinates "55.7" "37.6")", "", "37.6,55.7", nullptr},
        {"the limits", R"(coordinates "-90" "180.000")", "", "180.000,-90", nullptr},
        // Number parsers take these; a map address would not.
        {"a blank, an exponent", R"(coordinates " 5" "1e1")", "", nullptr,
         "the latitude the service gave, \u201c 5\u201d, is not a decimal number\n"
         "the longitude the service gave, \u201c1e1\u201d, is not a decimal number"},
        {"33 characters", R"(coordinates "0.0000000000000000000000000000001" "1")", "", nullptr,
         "the latitude the service gave is 33 characters long, too long for a number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        FakePageLoader loader;
        FakeUrlOpener opener;
        FakeMessageSink messages;
        CellLookup lookup({QStringLiteral("http://svc.test"), mapBase}, loader, opener, messages);
        for (const char* page : {R"(coordinates "-1.5" "")", row.page}) {
            loader.body = QString::fromUtf8(page);
            lookup.web1();
        }

        EXPECT_EQ(lookup.values().firstValue, QString::fromUtf8(row.first));
        EXPECT_TRUE(lookup.values().secondValue.isEmpty());
        EXPECT_EQ(opener.opened.size(), row.point ? 1 : 0);
        EXPECT_EQ(opener.opened.value(0).toString(QUrl::FullyEncoded),
                  row.point ? mapAt(mapBase, row.point) : QString());
        QStringList told; // what each message box said, with its detail
        for (const FakeMessageSink::Shown& shown : messages.shown)
            told << shown.text + " / " + shown.detail;
        EXPECT_EQ(told, row.detail ? QStringList{"ID does not exist / " + QString(row.detail)}
                                   : QStringList{});
    }
}

// A map address that is no web address, or that no browser opens, is shown to copy by hand,
// and the values are cleared all the same. A lookup that is gone hears of no failure.
// A field no cell can have is refused before any request is built.
TEST(CellLookup, AFieldLongerThanAnyCodeIsRefusedWithoutARequest)
{
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    CellLookup lookup({QStringLiteral("http://svc.test"), mapBase}, loader, opener, messages);
    lookup.click({"250", "1", QString(40000, u'7'), "314"});
    EXPECT_TRUE(loader.navigated.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].detail, "the LAC is 40000 characters long; none is longer than 32");
}

TEST(CellLookup, AMapNotOpenedIsShownToCopy)
{
    const QString reason = QStringLiteral("xdg-open ended with status 3: it found no web browser");
    for (const QString& base : {mapBase, QStringLiteral("file:///tmp")}) {
        SCOPED_TRACE(base.toStdString());
        FakePageLoader loader;
        FakeUrlOpener opener;
        FakeMessageSink messages;
        opener.failure = reason;
        {
            CellLookup lookup({QStringLiteral("http://svc.test"), base}, loader, opener, messages);
            loader.body = R"(coordinates "55.7" "37.6")";
            lookup.web1();
            EXPECT_TRUE(lookup.values().firstValue.isEmpty());
        }
        opener.open(QUrl(mapBase));

        EXPECT_EQ(opener.opened.size(), base == mapBase ? 2 : 1);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
        EXPECT_TRUE(messages.shown[0].text.endsWith(mapAt(base, "37.6,55.7")));
        EXPECT_EQ(messages.shown[0].text.contains(reason), base == mapBase);
        EXPECT_TRUE(messages.shown[0].selectable);
    }
}

} // namespace
