// "Save id" of the main window: the last reading's cell identity in kestrel's order, and the
// question before a grey one is saved. The dialog, the replace questions and the refusals are
// the ID file's own, tested with it.
#include "kestrel/tests/WindowFixture.h"
#include "tests/support/TempFolder.h"

#include <QLabel>
#include <QPushButton>
#include <chrono>

namespace
{

// Grey, the identity is saved only after a question that says how old its location is; declined,
// nothing is written.
TEST_F(WindowFixture, SaveIdWritesTheLastReadingOnceAnOperatorIsKnownAndAsksFirstWhenGrey)
{
    using namespace std::chrono;
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("id.ini"));
    port.setPortOpen(true);
    dialog.nextChoices = QStringList{path};
    form().CommandSave->click();
    EXPECT_TRUE(dialog.shown.isEmpty()) << "no operator read yet: nothing to save";

    cycle();
    QStringList codeCycle = kWholeCycle;
    codeCycle[0] = QStringLiteral("\r\n+COPS: 0,2,\"25002\",2\r\n\r\nOK\r\n");
    cycle(codeCycle);
    form().CommandSave->click();
    EXPECT_EQ(dialog.shown, QStringList{"save"});
    EXPECT_EQ(fileBytes(path), "[Value]\r\ncellid=12834021\r\nlac=6699\r\nmnc=02\r\nmcc=250\r\n"
                               "operator=Mobile Net (3G)\r\n\r\n");

    cycle({}); // two cycles without a reply: all grey, the location read just now
    cycle({});
    const MonitorReading grey = form().reading();
    const struct {
        bool operatorStale, locationStale;
        std::optional<seconds> age; // none: as the cycles left it; -1 s: never read
        bool agree;
        const char* asks;
    } rows[] = {
        {true, true, std::nullopt, true,
         "The cell identity was last read 0 s ago; save it anyway?"},
        {true, false, 130s, false, "last read 2 min 10 s ago"},
        {false, true, 3725s, true, "last read 1 h 2 min ago"},
        {false, true, -1s, false, "(LAC and cell ID) has not been read yet"},
    };
    for (const auto& row : rows) {
        MonitorReading reading = grey;
        reading.operatorStale = row.operatorStale;
        reading.locationStale = row.locationStale;
        if (row.age)
            reading.locationReadAt =
                *row.age < 0s ? std::nullopt : std::optional(steady_clock::now() - *row.age);
        form().showReading(reading);
        QFile::remove(path);
        messages.answers = {row.agree};
        dialog.nextChoices = QStringList{path};
        form().CommandSave->click();
        ASSERT_EQ(messages.asked.size(), 1) << row.asks;
        EXPECT_TRUE(messages.asked.takeFirst().text.contains(row.asks)) << row.asks;
        EXPECT_EQ(QFile::exists(path), row.agree);
    }
}

} // namespace
