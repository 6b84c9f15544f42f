#include "plover/lookup/CellLookup.h"

#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"

#include <gtest/gtest.h>

namespace
{

using lookup::CellLookup;

const QString mapBase = QStringLiteral("https://map.test");

class CellLookupTest : public testing::Test
{
protected:
    // A page arrives and web1 handles it, as the window does on DocumentComplete.
    void arrive(const QString& page)
    {
        loader.body = page;
        lookup.web1();
    }

    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    CellLookup lookup{{QStringLiteral("http://svc.test"), mapBase}, loader, opener, messages};
};

struct ReplyRow {
    const char* shows;
    const char* before; // a reply handled first, or nullptr
    const char* page;
    const char* first; // the values after the reply (cleared when a map opened)
    const char* second;
    const char* opened; // the map opened, after the map base, or nullptr
    bool idMissing;     // "ID does not exist" shown
};

void PrintTo(const ReplyRow& row, std::ostream* os)
{
    *os << row.shows;
}

class Web1Table : public CellLookupTest, public testing::WithParamInterface<ReplyRow>
{
};

TEST_P(Web1Table, ParsesTheReply)
{
    const ReplyRow& row = GetParam();
    if (row.before) {
        arrive(QString::fromUtf8(row.before));
        ASSERT_TRUE(opener.opened.isEmpty());
        ASSERT_TRUE(messages.shown.isEmpty());
    }
    arrive(QString::fromUtf8(row.page));

    EXPECT_EQ(lookup.values().pageText, QString::fromUtf8(row.page));
    EXPECT_EQ(lookup.values().firstValue, QString::fromUtf8(row.first));
    EXPECT_EQ(lookup.values().secondValue, QString::fromUtf8(row.second));
    if (row.opened) {
        ASSERT_EQ(opener.opened.size(), 1);
        EXPECT_EQ(opener.opened[0].toString(QUrl::FullyEncoded),
                  mapBase + QString::fromUtf8(row.opened));
        EXPECT_TRUE(lookup.values().mapAddress.isEmpty());
    } else {
        EXPECT_TRUE(opener.opened.isEmpty());
    }
    if (row.idMissing) {
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("ID does not exist"));
    } else {
        EXPECT_TRUE(messages.shown.isEmpty());
    }
}

const char* priorFirst = R"(coordinates "prior" "")";

INSTANTIATE_TEST_SUITE_P(
    Table, Web1Table,
    testing::Values(
        ReplyRow{"WorkedExample", nullptr, R"(coordinates: "12.5", "34.25")", "", "",
                 "/?l=map/&pt=34.25,12.5&ll=34.25,12.5&z=10", false},
        ReplyRow{"XmlLocation", nullptr,
                 R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)",
                 "", "", "/?l=map/&pt=37.61730,55.75580&ll=37.61730,55.75580&z=10", false},
        ReplyRow{"QuotesBeforeTheKeywordAreSkipped", nullptr, R"(id "7" coordinates "1.5" "2.5")",
                 "", "", "/?l=map/&pt=2.5,1.5&ll=2.5,1.5&z=10", false},
        ReplyRow{"WithoutKeywordTheFirstTwoQuotedStrings", nullptr, R"(lat "1.5" lon "2.5" x "3")",
                 "", "", "/?l=map/&pt=2.5,1.5&ll=2.5,1.5&z=10", false},
        // Q3 is 0, so Q4 is the first mark of the page: the second value is the text before it.
        ReplyRow{"OneQuotedStringAfterKeywordTakesThePageStart", nullptr,
                 R"(Cell 7 coordinates "12.5" end)", "", "",
                 "/?l=map/&pt=Cell%207%20coordinates%20,12.5&ll=Cell%207%20coordinates%20,12.5"
                 "&z=10",
                 false},
        ReplyRow{"OneQuotedStringStartingThePageOpensNothing", priorFirst, R"("12.5" coordinates)",
                 "", "", nullptr, false},
        ReplyRow{"EmptyQuotesGiveEmptyValues", priorFirst, R"(coordinates "" "")", "", "", nullptr,
                 false},
        ReplyRow{"EmptySecondValueOpensNothing", nullptr, R"(coordinates "12.5" "")", "12.5", "",
                 nullptr, false},
        ReplyRow{"NoQuotesLeaveTheValues", priorFirst, "coordinates 55.7 37.6", "prior", "",
                 nullptr, false},
        ReplyRow{"MissingClosingMarkLeavesTheSecondValue", priorFirst,
                 R"(coordinates "55.7" "37.6)", "55.7", "", nullptr, false},
        ReplyRow{"ErrorInsideALongerWord", priorFirst, R"(coordinates "1" "2" terrors)", "prior",
                 "", nullptr, true},
        ReplyRow{"ErrorBesideValidCoordinates", nullptr,
                 R"(error <coordinates latitude="55.7" longitude="37.6"/>)", "", "", nullptr, true},
        ReplyRow{"CapitalErrorDoesNotMatch", nullptr, R"(Error? coordinates "55.7" "37.6")", "", "",
                 "/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10", false},
        ReplyRow{"ValuesCannotAddMapKeys", nullptr, R"(coordinates "1&z=99" "2#x")", "", "",
                 "/?l=map/&pt=2%23x,1%26z%3D99&ll=2%23x,1%26z%3D99&z=10", false}),
    [](const auto& info) { return std::string(info.param.shows); });

TEST_F(CellLookupTest, MapAddressIsKeptWhenNoMapOpens)
{
    arrive(R"(coordinates "12.5" "")");
    EXPECT_EQ(lookup.values().mapAddress, mapBase + "/?l=map/&pt=,12.5&ll=,12.5&z=10");
}

TEST_F(CellLookupTest, ClickSendsTheRequestOnlyWithAllFourFields)
{
    lookup.click({"250", "1", "78", ""});
    EXPECT_TRUE(loader.navigated.isEmpty());
    EXPECT_TRUE(lookup.values().lookupAddress.isEmpty());

    lookup.click({"250", "1", "78", "314"});
    const QString sent = QStringLiteral(
        "http://svc.test/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78");
    EXPECT_EQ(loader.navigated, QStringList{sent});
    EXPECT_EQ(lookup.values().lookupAddress, sent);

    arrive(R"(coordinates "55.7" "37.6")");
    EXPECT_TRUE(lookup.values().lookupAddress.isEmpty()) << "web2 clears the request";
}

TEST_F(CellLookupTest, NoBrowserShowsTheAddressToCopy)
{
    opener.succeeds = false;
    arrive(R"(coordinates "55.7" "37.6")");

    ASSERT_EQ(opener.opened.size(), 1);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
    EXPECT_TRUE(
        messages.shown[0].text.endsWith(mapBase + "/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10"));
    EXPECT_TRUE(messages.shown[0].selectable);
    EXPECT_TRUE(lookup.values().secondValue.isEmpty());
}

TEST_F(CellLookupTest, AMapBaseThatIsNoWebAddressIsNeverOpened)
{
    CellLookup local{{QStringLiteral("http://svc.test"), QStringLiteral("file:///tmp")},
                     loader,
                     opener,
                     messages};
    loader.body = R"(coordinates "55.7" "37.6")";
    local.web1();

    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("file:///tmp/?l=map/")));
    EXPECT_TRUE(local.values().firstValue.isEmpty()) << "the values are cleared all the same";
}

TEST_F(CellLookupTest, UnreachableServiceIsReportedWithItsReason)
{
    lookup.serviceUnreachable(QStringLiteral("Connection refused"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("Connection refused")));
    EXPECT_TRUE(opener.opened.isEmpty());
}

} // namespace
