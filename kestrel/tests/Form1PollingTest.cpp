// Form1's polling cycle and network-mode command over a scripted port: what reaches the labels,
// the level bar, Text1 and LevelDbm, and when Timer1 runs.
#include "kestrel/Form1.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/at/DisplayWrites.h"
#include "kestrel/at/tests/QtPrinters.h"
#include "kestrel/tests/ListPick.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tests/support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace
{

const QString kName3G = QStringLiteral("\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n");
const QString kCode3G = QStringLiteral("\r\n+COPS: 0,2,\"00101\",2\r\n\r\nOK\r\n");
const QString kNoOperator = QStringLiteral("\r\n+COPS: 0\r\n\r\nOK\r\n");
const QString kOk = QStringLiteral("\r\nOK\r\n");
const QString kCsq20 = QStringLiteral("\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
const QString kCgreg = QStringLiteral("\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n");

QString csq(const QString& index)
{
    return QStringLiteral("\r\n+CSQ: %1,99\r\n\r\nOK\r\n").arg(index);
}

// The replies of one whole cycle, in the order the commands go out.
QStringList cycle(const QString& cops, const QString& signal = kCsq20)
{
    return {cops, kOk, signal, kOk, kCgreg};
}

// A scripted port that also notes, at every write, whether Timer1 was running.
class WatchedPort : public FakeCommControl
{
public:
    std::function<bool()> timerRunning;
    QList<bool> timerAtWrite;

    bool setOutput(const QString& text) override
    {
        timerAtWrite << timerRunning();
        return FakeCommControl::setOutput(text);
    }
};

class Form1PollingTest : public testing::Test, WithApplication
{
protected:
    Form1PollingTest()
    {
        port.setPortOpen(true);
        port.timerRunning = [this] { return form->Timer1->isActive(); };
        LevelDbm() = -99; // whatever an earlier run left
    }

    // A window that has kept nothing from earlier cycles, on a port with an empty log.
    void renewWindow()
    {
        window =
            std::make_unique<Form1>(MonitorPlatform{port, inventory, sound, dialog, QString()});
        form = window.get();
        port.written.clear();
        port.timerAtWrite.clear();
        port.scriptedReads.clear();
    }

    void script(const QStringList& replies)
    {
        for (const QString& reply : replies) {
            port.scriptedReads.emplace_back(reply);
        }
    }

    // A cycle as Timer1 starts it, with Timer1 running.
    void tick()
    {
        form->Timer1->start();
        form->Timer1_Timer();
    }

    WatchedPort port;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    std::unique_ptr<Form1> window =
        std::make_unique<Form1>(MonitorPlatform{port, inventory, sound, dialog, QString()});
    Form1* form = window.get();
};

// Where a cycle stops, and that Timer1 runs through the operator query, is off from the signal
// query on, and runs again at the end whichever way the cycle ended.
TEST_F(Form1PollingTest, EachWayACycleEndsLeavesTimer1Running)
{
    const struct {
        const char* name;
        QStringList replies;
        QStringList commands;
        QList<bool> timerAtWrite;
    } rows[] = {
        {"WholeCycle",
         cycle(kName3G),
         {"AT+COPS?\r", "AT+COPS=0,2\r", "AT+CSQ\r", "AT+CGREG=2\r", "AT+CGREG?\r"},
         {true, true, false, false, false}},
        {"NoReplyEndsAfterTheOperatorQuery", {}, {"AT+COPS?\r"}, {true}},
        {"CapitalErrorEndsAfterTheOperatorQuery", {"\r\nERROR\r\n"}, {"AT+COPS?\r"}, {true}},
        {"NoOperatorEndsAfterTheOperatorQuery", {kNoOperator}, {"AT+COPS?\r"}, {true}},
        {"ShortNameFormatEndsAfterTheOperatorQuery",
         {"\r\n+COPS: 0,1,\"MobNet\",2\r\n\r\nOK\r\n"},
         {"AT+COPS?\r"},
         {true}},
        {"EmptyOperatorSkipsTheRegistrationQuery",
         {"\r\n+COPS: 0,0\r\n\r\nOK\r\n", kOk, kCsq20},
         {"AT+COPS?\r", "AT+COPS=0,2\r", "AT+CSQ\r"},
         {true, true, false}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        renewWindow();
        script(row.replies);
        tick();
        EXPECT_EQ(port.written, row.commands);
        EXPECT_EQ(port.timerAtWrite, row.timerAtWrite);
        EXPECT_TRUE(form->Timer1->isActive());
    }
}

// The signal reply reaches the caption, the bar, the program-wide level and the raw view in both
// display modes (the reply's reading itself is the signal step's test).
TEST_F(Form1PollingTest, TheStrengthIndexReachesCaptionBarAndLevelDbm)
{
    const struct {
        const char* name;
        QString index;
        bool percent;
        QString caption;
        int bar;
        at::DbmLevel level;
    } rows[] = {
        {"Index31", "31", false, "  -51db", 31, -51},
        {"Index99ClearsTheReading", "99", false, "", 0, std::nullopt},
        {"PercentOfTheBarsRange", "20", true, "  66%", 20, -73},
        {"PercentCleared", "99", true, "", 0, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        form->ProgressBar1->setValue(7);
        form->LblCSQ->setText(QStringLiteral("before"));
        LevelDbm() = -99;
        form->Check1->setChecked(row.percent);
        script(cycle(kName3G, csq(row.index)));
        tick();
        EXPECT_EQ(form->LblCSQ->text(), row.caption);
        EXPECT_EQ(form->ProgressBar1->Value(), row.bar);
        EXPECT_EQ(LevelDbm(), row.level);
        // The raw view holds the signal reply, the last one copied in a cycle.
        EXPECT_EQ(form->Text1->text(), csq(row.index));
    }
}

TEST_F(Form1PollingTest, NoOperatorClearsEveryFieldAndTheLevel)
{
    script(cycle(kName3G) + cycle(kCode3G));
    tick();
    tick();
    ASSERT_EQ(LevelDbm(), -73);
    ASSERT_FALSE(form->LblCellID->text().isEmpty());
    ASSERT_EQ(form->operatorText(), QStringLiteral("00101"));

    script({kNoOperator});
    tick();
    for (const QLabel* label :
         {form->LblCOPS, form->LblCSQ, form->LblMCC, form->LblMNC, form->LblLAC, form->LblCellID}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_TRUE(label->text().isEmpty());
    }
    EXPECT_EQ(form->ProgressBar1->Value(), 0);
    // The voice and the full-screen view must not go on presenting the last level.
    EXPECT_EQ(LevelDbm(), std::nullopt);
    // Nor can the cell be saved.
    EXPECT_EQ(form->operatorText(), QString());
    EXPECT_EQ(form->Text1->text(), kNoOperator);
}

// Only a choice from Combo2's list sends; each entry its command exactly, with one CR, Timer1
// off while it is written and running afterwards.
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
        {"4GPreferredByMouse",
         [](QComboBox* b) { pickFromList(b, 4); },
         {"AT^SYSCFGEX=\"030201\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,\r"}},
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
        form->Combo2->setCurrentIndex(-1);
        form->Combo2->setEditText(QString());
        port.written.clear();
        port.timerAtWrite.clear();
        form->Timer1->stop();
        row.choose(form->Combo2);
        EXPECT_EQ(port.written, row.sent);
        if (!row.sent.isEmpty()) {
            EXPECT_EQ(port.timerAtWrite, QList<bool>{false});
            EXPECT_TRUE(form->Timer1->isActive());
        } else {
            EXPECT_FALSE(form->Timer1->isActive());
        }
    }
}

TEST_F(Form1PollingTest, AConnectionTypeChosenWithoutAnOpenPortStartsPolling)
{
    port.setPortOpen(false);
    pickFromList(form->Combo2, 0);
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_TRUE(form->Timer1->isActive());
}

} // namespace
