// The main window's polling cycle and network-mode command over a scripted port: which commands
// go out, what reaches the labels, the level bar, Text1 and LevelDbm, and when Timer1 runs.
#include "kestrel/at/DisplayWrites.h"
#include "kestrel/at/tests/QtPrinters.h"
#include "kestrel/tests/ListPick.h"
#include "kestrel/tests/WindowFixture.h"
#include "platform/levelbar/ProgressBar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>

namespace
{

const QString kNoOperator = QStringLiteral("\r\n+COPS: 0\r\n\r\nOK\r\n");
const QString kOk = QStringLiteral("\r\nOK\r\n");

// A whole cycle whose signal reply carries `index`.
QStringList withIndex(const QString& index)
{
    QStringList replies = kWholeCycle;
    replies[2] = QStringLiteral("\r\n+CSQ: %1,99\r\n\r\nOK\r\n").arg(index);
    return replies;
}

class Form1PollingTest : public WindowFixture
{
protected:
    Form1PollingTest()
    {
        port.setPortOpen(true);
        LevelDbm() = -99; // whatever an earlier run left
    }

    // A cycle as Timer1 starts it, in a window that has kept nothing from earlier cycles.
    void freshCycle(const QStringList& replies)
    {
        window_.reset();
        port.written.clear();
        port.scriptedReads.clear();
        form().Timer1->start();
        cycle(replies);
    }
};

// Where a cycle stops; Timer1 runs again at the end whichever way it ended. Which replies stop
// it is decided by the reply steps (their tables); here, that the window follows them.
TEST_F(Form1PollingTest, EachWayACycleEndsLeavesTimer1Running)
{
    const QStringList whole{"AT+COPS?\r", "AT+COPS=0,2\r", "AT+CSQ\r", "AT+CGREG=2\r",
                            "AT+CGREG?\r"};
    const struct {
        const char* name;
        QStringList replies;
        QStringList commands;
    } rows[] = {
        {"WholeCycle", kWholeCycle, whole},
        {"NoReplyEndsAfterTheOperatorQuery", {}, whole.mid(0, 1)},
        {"EmptyOperatorSkipsTheRegistrationQuery",
         {"\r\n+COPS: 0,0\r\n\r\nOK\r\n", kOk, kWholeCycle[2]},
         whole.mid(0, 3)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        freshCycle(row.replies);
        EXPECT_EQ(port.written, row.commands);
        EXPECT_TRUE(form().Timer1->isActive());
    }
}

// The signal reply reaches the caption, the bar, the program-wide level and the raw view in both
// display modes (the reply's reading itself is the signal step's test).
TEST_F(Form1PollingTest, TheStrengthIndexReachesCaptionBarAndLevelDbm)
{
    const struct {
        QString index;
        bool percent;
        QString caption;
        int bar;
        at::DbmLevel level;
    } rows[] = {
        {"31", false, "  -51db", 31, -51},
        {"99", false, "", 0, std::nullopt},
        {"20", true, "  66%", 20, -73},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption.toStdString() + (row.percent ? " in percent" : " in dBm"));
        form().ProgressBar1->setValue(7);
        LevelDbm() = -99;
        form().Check1->setChecked(row.percent);
        cycle(withIndex(row.index));
        EXPECT_EQ(form().LblCSQ->text(), row.caption);
        EXPECT_EQ(form().ProgressBar1->Value(), row.bar);
        EXPECT_EQ(LevelDbm(), row.level);
        // The raw view holds the signal reply, the last one copied in a cycle.
        EXPECT_EQ(form().Text1->text(), withIndex(row.index)[2]);
    }
}

TEST_F(Form1PollingTest, NoOperatorClearsEveryFieldAndTheLevel)
{
    cycle();
    QStringList codeCycle = kWholeCycle;
    codeCycle[0] = QStringLiteral("\r\n+COPS: 0,2,\"00101\",2\r\n\r\nOK\r\n");
    cycle(codeCycle);
    ASSERT_EQ(LevelDbm(), -73);
    ASSERT_FALSE(form().LblCellID->text().isEmpty());
    ASSERT_EQ(form().operatorText(), QStringLiteral("00101"));

    cycle({kNoOperator});
    for (const QLabel* label : {form().LblCOPS, form().LblCSQ, form().LblMCC, form().LblMNC,
                                form().LblLAC, form().LblCellID}) {
        EXPECT_TRUE(label->text().isEmpty()) << label->objectName().toStdString();
    }
    EXPECT_EQ(form().ProgressBar1->Value(), 0);
    // The voice and the full-screen view must not go on presenting the last level.
    EXPECT_EQ(LevelDbm(), std::nullopt);
    // Nor can the cell be saved.
    EXPECT_EQ(form().operatorText(), QString());
    EXPECT_EQ(form().Text1->text(), kNoOperator);
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
        form().Timer1->stop();
        row.choose(form().Combo2);
        EXPECT_EQ(port.written, row.sent);
        EXPECT_EQ(form().Timer1->isActive(), !row.sent.isEmpty());
    }
    port.setPortOpen(false);
    port.written.clear();
    pickFromList(form().Combo2, 0);
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_TRUE(form().Timer1->isActive());
}

} // namespace
