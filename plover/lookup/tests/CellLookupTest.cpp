#include "plover/lookup/CellLookup.h"

#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"

#include <gtest/gtest.h>

namespace
{

using lookup::CellLookup;

const QString mapBase = QStringLiteral("https://map.test");

struct Web1Row {
    const char* shows;
    const char* before; // a reply handled first, or nullptr
    const char* page;
    const char* first; // the values afterwards (cleared when a map opened)
    const char* second;
    const char* opened; // the map opened, after the map base, or nullptr
    bool idMissing;     // "ID does not exist" shown
};

const char* priorFirst = R"(coordinates "prior" "")"; // leaves "prior" as the first value

const Web1Row web1Rows[] = {
    {"worked example", nullptr, R"(coordinates: "12.5", "34.25")", "", "",
     "/?l=map/&pt=34.25,12.5&ll=34.25,12.5&z=10", false},
    {"xml location", nullptr,
     R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)", "", "",
     "/?l=map/&pt=37.61730,55.75580&ll=37.61730,55.75580&z=10", false},
    {"quotes before the keyword are skipped", nullptr, R"(id "7" coordinates "1.5" "2.5")", "", "",
     "/?l=map/&pt=2.5,1.5&ll=2.5,1.5&z=10", false},
    {"without keyword nothing opens", priorFirst, R"(<?xml version="1.0"?><pt lat="1.5"/>)",
     "prior", "", nullptr, true},
    // Q3 is 0, so Q4 is the first mark of the page: the second value is the text before it.
    {"one quoted string after keyword takes the page start", nullptr,
     R"(Cell 7 coordinates "12.5" end)", "", "",
     "/?l=map/&pt=Cell%207%20coordinates%20,12.5&ll=Cell%207%20coordinates%20,12.5&z=10", false},
    {"one quoted string starting the page opens nothing", priorFirst, R"("12.5" coordinates)", "",
     "", nullptr, false},
    {"empty quotes give empty values", priorFirst, R"(coordinates "" "")", "", "", nullptr, false},
    {"empty second value opens nothing", nullptr, R"(coordinates "12.5" "")", "12.5", "", nullptr,
     false},
    {"no quotes leave the values", priorFirst, "coordinates 55.7 37.6", "prior", "", nullptr,
     false},
    {"missing closing mark leaves the second value", priorFirst, R"(coordinates "55.7" "37.6)",
     "55.7", "", nullptr, false},
    {"error inside a longer word", priorFirst, R"(coordinates "1" "2" terrors)", "prior", "",
     nullptr, true},
    {"error beside valid coordinates", nullptr, R"(error <coordinates lat="55.7" lon="37.6"/>)", "",
     "", nullptr, true},
    {"capital Error does not match", nullptr, R"(Error? coordinates "55.7" "37.6")", "", "",
     "/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10", false},
    {"values cannot add map keys", nullptr, R"(coordinates "1&z=99" "2#x")", "", "",
     "/?l=map/&pt=2%23x,1%26z%3D99&ll=2%23x,1%26z%3D99&z=10", false},
};

TEST(CellLookupWeb1, ParsesEachReply)
{
    for (const Web1Row& row : web1Rows) {
        SCOPED_TRACE(row.shows);
        FakePageLoader loader;
        FakeUrlOpener opener;
        FakeMessageSink messages;
        CellLookup lookup({QStringLiteral("http://svc.test"), mapBase}, loader, opener, messages);
        for (const char* page : {row.before, row.page}) {
            loader.body = QString::fromUtf8(page);
            if (page)
                lookup.web1();
        }

        EXPECT_EQ(lookup.values().firstValue, QString::fromUtf8(row.first));
        EXPECT_EQ(lookup.values().secondValue, QString::fromUtf8(row.second));
        QStringList expectedOpened;
        if (row.opened)
            expectedOpened << mapBase + QString::fromUtf8(row.opened);
        QStringList opened;
        for (const QUrl& url : opener.opened)
            opened << url.toString(QUrl::FullyEncoded);
        EXPECT_EQ(opened, expectedOpened);
        EXPECT_EQ(messages.shown.size(), row.idMissing ? 1 : 0);
        if (row.idMissing && !messages.shown.isEmpty()) {
            EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
            EXPECT_EQ(messages.shown[0].text, QStringLiteral("ID does not exist"));
        }
    }
}

class CellLookupTest : public testing::Test
{
protected:
    void arrive(const char* page)
    {
        loader.body = QString::fromUtf8(page);
        lookup.web1();
    }

    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    CellLookup lookup{{QStringLiteral("http://svc.test"), mapBase}, loader, opener, messages};
};

TEST_F(CellLookupTest, NoBrowserShowsTheAddressToCopy)
{
    opener.succeeds = false;
    arrive(R"(coordinates "55.7" "37.6")");

    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
    EXPECT_TRUE(
        messages.shown[0].text.endsWith(mapBase + "/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10"));
    EXPECT_TRUE(messages.shown[0].selectable);
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

} // namespace
