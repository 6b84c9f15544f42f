// The main window over its core and a scripted port: what a cycle's reading puts into the
// labels, the level bar, Text1 and LevelDbm, and the network-mode choice going out. What a
// cycle reads is the core's test; how a reading is shown, the presenter's.
#include "kestrel/tests/ListPick.h"
#include "kestrel/tests/QtPrinters.h"
#include "kestrel/tests/WindowFixture.h"
#include "platform/levelbar/ProgressBar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>

namespace
{

class Form1PollingTest : public WindowFixture
{
protected:
    Form1PollingTest()
    {
        port.setPortOpen(true);
        LevelDbm() = -99; // whatever an earlier run left
    }
};

// A cycle's reading reaches the labels, the bar, the program-wide level and the raw view, and
// "LEVEL PERCENTAGE " reaches the signal query.
TEST_F(Form1PollingTest, AReadingReachesTheLabelsBarAndLevelDbm)
{
    form().Check1->setChecked(true);
    cycle();
    EXPECT_EQ(form().LblCOPS->text(), "Mobile Net (3G)");
    EXPECT_EQ(form().LblCSQ->text(), "  66%");
    EXPECT_EQ(form().LblCellID->text(), "12834021");
    EXPECT_EQ(form().ProgressBar1->Value(), 20);
    EXPECT_EQ(LevelDbm(), -73);
    EXPECT_EQ(form().Text1->text(), kWholeCycle[2]) << "the signal reply, the last one read";
}

// Only a choice from Combo2's list sends, each entry its command exactly with one CR, and
// polling runs afterwards, also when no port is open.
TEST_F(Form1PollingTest, ChoosingAConnectionTypeSendsItsCommand)
{
    const struct {
        const char* name;
        std::function<void(QComboBox*)> choose;
        QStringList sent;
    } rows[] = {
        {"3GOnlyByMouse",
         [](QComboBox* b) { pickFromList(b, 0); },
         {"AT^SYSCFG=14,2,3fffffff,0,1\r"}},
        {"GprsEdgeOnlyByKeyboard",
         [](QComboBox* b) { pickFromListByKeyboard(b, 2); },
         {"AT^SYSCFG=13,1,3FFFFFFF,0,1\r"}},
        {"TypedEntryAndReturnSendsNothing",
         [](QComboBox* b) { typeAndReturn(b, QStringLiteral("3G Only")); },
         {}},
        {"ArrowKeyOnTheClosedBoxSendsNothing",
         [](QComboBox* b) { QTest::keyClick(b, Qt::Key_Down); },
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        form().Combo2->setCurrentIndex(-1);
        form().Combo2->setEditText(QString());
        port.written.clear();
        form().core().Timer1->stop();
        row.choose(form().Combo2);
        EXPECT_EQ(port.written, row.sent);
        EXPECT_EQ(form().core().Timer1->isActive(), !row.sent.isEmpty());
    }
    port.setPortOpen(false);
    port.written.clear();
    pickFromList(form().Combo2, 0);
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_TRUE(form().core().Timer1->isActive());
}

} // namespace
