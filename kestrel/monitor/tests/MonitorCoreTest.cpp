// The monitor core over a scripted port, without a window: what a polling cycle sends, what the
// reading then holds, when Timer1 runs, and what the title says.
#include "kestrel/monitor/MonitorCore.h"

#include "kestrel/at/tests/ModemReply.h"
#include "kestrel/monitor/PortLink.h"
#include "kestrel/monitor/tests/WholeCycle.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/serial/FakeCommControl.h"
#include "tests/support/CoreApp.h"
#include "tests/support/TextPrinter.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

using at::Generation;

const QString kOk = QStringLiteral("\r\nOK\r\n");
const QString kNoOperator = QStringLiteral("\r\n+COPS: 0\r\n\r\nOK\r\n");

// The whole cycle with another first (operator) and third (signal) reply.
QStringList withReplies(const QString& operatorReply, const QString& signalReply)
{
    QStringList replies = kWholeCycle;
    replies[0] = operatorReply.isEmpty() ? replies[0] : operatorReply;
    replies[2] = signalReply.isEmpty() ? replies[2] : signalReply;
    return replies;
}

QString index(int value)
{
    return QStringLiteral("\r\n+CSQ: %1,99\r\n\r\nOK\r\n").arg(value);
}

class MonitorCoreTest : public testing::Test
{
protected:
    MonitorCoreTest()
    {
        inventory.list = QList<DeviceEntry>{
            {huaweiPcUiDescription, huaweiPcUiDescription + QStringLiteral(" (USB3)")}};
        QObject::connect(&core, &MonitorCore::readingReady,
                         [this](const MonitorReading& reading) { readings.push_back(reading); });
        core.load();
    }

    // One polling cycle over the given replies; the reading it sent.
    const MonitorReading& cycle(const QStringList& replies = kWholeCycle)
    {
        for (const QString& reply : replies) {
            port.scriptedReads.emplace_back(reply);
        }
        core.Timer1_Timer();
        return readings.back();
    }

    CoreApp app;
    FakeCommControl port;
    FakeDeviceInventory inventory;
    MonitorCore core{{port, inventory}};
    std::vector<MonitorReading> readings;
};

// Where a cycle stops, and whether it starts Timer1's interval afresh at its end: a cycle that
// ran the signal query does, so that the next one begins a whole interval after it. Timer1 is
// stopped before each cycle to tell.
TEST_F(MonitorCoreTest, EachWayACycleEndsAndWhetherItRestartsTimer1)
{
    const QStringList whole{"AT+COPS?\r", "AT+COPS=0,2\r", "AT+CSQ\r", "AT+CGREG=2\r",
                            "AT+CGREG?\r"};
    const struct {
        const char* name;
        QStringList replies;
        QStringList commands;
        bool restartsTimer1 = true;
    } rows[] = {
        {"WholeCycle", kWholeCycle, whole},
        {"NoReplyEndsAfterTheOperatorQuery", {}, whole.mid(0, 1), false},
        {"EmptyOperatorSkipsTheRegistrationQuery",
         {"\r\n+COPS: 0,0,\"\",2\r\n\r\nOK\r\n", kOk, kWholeCycle[2]},
         whole.mid(0, 3)},
        {"ShortNameFormatIsAWholeCycle", withReplies("\r\n+COPS: 0,1,\"TN\",2\r\n", {}), whole},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        port.written.clear();
        port.scriptedReads.clear();
        core.Timer1->stop();
        cycle(row.replies);
        EXPECT_EQ(port.written, row.commands);
        EXPECT_EQ(core.Timer1->isActive(), row.restartsTimer1);
        EXPECT_EQ(core.Timer1->interval(), 300) << "a cycle every 300 ms";
    }
}

// The replies of one cycle after a name cycle and a code cycle of "Mobile Net" / 00101 on 3G at
// index 20, LAC 6699, cell 12834021.
TEST_F(MonitorCoreTest, EachCycleLeavesWhatTheRepliesSaidInTheReading)
{
    const struct {
        const char* name;
        QStringList replies;
        bool percentMode;
        QString operatorName; // "-" when the operator line is cleared
        Generation generation;
        QString mcc;
        at::DbmLevel level;
        int bar;
        QString cellId;
    } rows[] = {
        {"TheStrongestIndex", withReplies({}, index(31)), false, "Mobile Net", Generation::G3,
         "001", -51, 31, "12834021"},
        {"NoLevelClearsTheLevelAndTheBar", withReplies({}, index(99)), false, "Mobile Net",
         Generation::G3, "001", std::nullopt, 0, "12834021"},
        {"InPercentModeTheLevelIsStillRead", kWholeCycle, true, "Mobile Net", Generation::G3, "001",
         -73, 20, "12834021"},
        {"ACodeCycleOn4GKeepsTheNameAndItsSuffix",
         withReplies("\r\n+COPS: 0,2,\"25002\",7\r\n\r\nOK\r\n", {}), false, "Mobile Net",
         Generation::G4, "250", -73, 20, "12834021"},
        {"ShortNameFormatGivesTheName", withReplies("\r\n+COPS: 0,1,\"TN\",0\r\n", index(25)),
         false, "TN", Generation::G2, "001", -63, 25, "12834021"},
        {"NoOperatorClearsEverything",
         {kNoOperator},
         false,
         "-",
         Generation::G3,
         "",
         std::nullopt,
         0,
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        core.setPercentMode(false);
        cycle();
        cycle(withReplies("\r\n+COPS: 0,2,\"00101\",2\r\n\r\nOK\r\n", {}));
        core.setPercentMode(row.percentMode);
        const MonitorReading& r = cycle(row.replies);
        EXPECT_EQ(r.operatorNamed ? r.operatorName : "-", row.operatorName);
        EXPECT_EQ(r.operatorGeneration, row.operatorName == "TN" ? Generation::G2 : Generation::G3)
            << "the generation the name came with";
        EXPECT_EQ(r.generation, row.generation);
        EXPECT_EQ(r.mcc, row.mcc);
        EXPECT_EQ(r.levelDbm, row.level);
        EXPECT_EQ(r.barValue, row.bar);
        EXPECT_EQ(r.levelInPercent, row.percentMode && row.operatorName != "-");
        EXPECT_EQ(r.cellId, row.cellId);
        EXPECT_EQ(r.operatorKnown, row.operatorName != "-");
        EXPECT_EQ(r.rawReply, row.replies.value(2, row.replies[0]))
            << "the raw reply is the signal reply, or the operator reply when no level came";
        EXPECT_FALSE(r.operatorStale || r.levelStale || r.locationStale);
    }
}

// A 4G stick is asked for its quality figures after the level, by ^HCSQ, by +CESQ once it
// refuses that, by neither once it refuses both; its band once per cell. Reports that come amid
// other replies count as figures too.
TEST_F(MonitorCoreTest, A4gStickGivesItsFiguresTheWayItCan)
{
    const QString cops = ok("+COPS: 0,0,\"T-Mobile\",7");
    const QString nsa = ok("+COPS: 0,0,\"T-Mobile\",13");
    const QString hcsq = ok("^HCSQ:\"LTE\",53,45,181,18");
    const QString cesq = ok("+CESQ: 99,99,255,255,26,50");
    const QString cereg = ok("+CEREG: 2,1,\"1A2B\",\"01A2D001\",7");
    const QString otherCell = ok("+CEREG: 2,1,\"1A2B\",\"01A2D002\",7");
    const QString band = ok("^HFREQINFO:0,6,1,425,21525,15000,18425,19625,15000");
    const QString refusal = QStringLiteral("\r\nERROR\r\n");
    const QString report = QStringLiteral("\r\n^HCSQ:\"LTE\",48,35,86,14\r\n");
    const struct {
        const char* name;
        QStringList replies;
        QString commands; // after the operator and signal queries, split at blanks
        std::optional<int> rsrp;
        std::optional<int> band;
        bool qualityStale = false;
    } rows[] = {
        // clang-format off
        {"Hcsq", {cops, kOk, index(20), hcsq, kOk, cereg, band},
         "AT^HCSQ? AT+CEREG=2 AT+CEREG? AT^HFREQINFO?", -96, 1},
        {"TheSameCellIsNotAskedItsBandAgain", {cops, kOk, index(20), hcsq, kOk, cereg},
         "AT^HCSQ? AT+CEREG=2 AT+CEREG?", -96, 1},
        {"NsaRegistersThroughItsLteAnchor", {nsa, kOk, index(20), hcsq, kOk, cereg},
         "AT^HCSQ? AT+CEREG=2 AT+CEREG?", -96, 1},
        {"ReportAmidTheOperatorReply", {report + cops, kOk, index(20), kOk, kOk, cereg},
         "AT^HCSQ? AT+CEREG=2 AT+CEREG?", -106, 1},
        {"HcsqRefusedThenCesq", {cops, kOk, index(20), refusal, cesq, kOk, otherCell, refusal},
         "AT^HCSQ? AT+CESQ AT+CEREG=2 AT+CEREG? AT^HFREQINFO?", -91, std::nullopt},
        {"CesqRefusedToo", {cops, kOk, index(20), refusal, kOk, cereg},
         "AT+CESQ AT+CEREG=2 AT+CEREG?", -91, std::nullopt},
        {"NeitherIsAskedAgainNorTheBand", {cops, kOk, index(20), kOk, otherCell},
         "AT+CEREG=2 AT+CEREG?", -91, std::nullopt, true},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        port.written.clear();
        const MonitorReading& r = cycle(row.replies);
        QStringList expected;
        for (const QString& command : ("AT+COPS? AT+COPS=0,2 AT+CSQ " + row.commands).split(u' ')) {
            expected << command + u'\r';
        }
        EXPECT_EQ(port.written, expected);
        EXPECT_EQ(r.quality.rsrpDbm, row.rsrp);
        EXPECT_EQ(r.band, row.band);
        EXPECT_EQ(r.qualityStale, row.qualityStale);
    }
}

// Without an operator the level is read but the bar stays, and no registration is asked.
TEST_F(MonitorCoreTest, ALevelWithoutAnOperatorLeavesTheBar)
{
    cycle();
    const MonitorReading& r = cycle({"\r\n+COPS: 0,0,\"\",2\r\n\r\nOK\r\n", kOk, index(25)});
    EXPECT_FALSE(r.operatorKnown);
    EXPECT_EQ(r.levelDbm, -63);
    EXPECT_EQ(r.barValue, 20);
}

TEST_F(MonitorCoreTest, TheTitleTellsTheLinkThenTheNewestNoteForAWhile)
{
    QStringList titles;
    QObject::connect(&core, &MonitorCore::titleChanged,
                     [&titles](const QString& title) { titles << title; });
    EXPECT_EQ(core.title(), "kestrel — USB3");
    cycle({});
    cycle({"\r\nERROR\r\n"});
    EXPECT_EQ(core.title(), "kestrel — USB3: no reply");
    cycle(withReplies("\r\n+COPS: 0,1,\"TN\",2\r\n", {}));
    EXPECT_EQ(core.title(), "kestrel — USB3") << "a short name is a reply";
    QStringList searching = kWholeCycle;
    searching[4] = QStringLiteral("\r\n+CGREG: 2,2\r\n\r\nOK\r\n");
    cycle(searching);
    EXPECT_EQ(core.title(), "kestrel — USB3 — searching for a network");
    cycle();

    core.tell(QStringLiteral("\"abc\" is not a port number"));
    EXPECT_EQ(core.title(), "kestrel — USB3 — \"abc\" is not a port number");
    cycle();
    EXPECT_EQ(core.title(), "kestrel — USB3 — \"abc\" is not a port number");
    QTimer* expiry = core.findChild<QTimer*>(QStringLiteral("NoteExpiry"));
    ASSERT_NE(expiry, nullptr);
    EXPECT_TRUE(expiry->isActive() && expiry->interval() == MonitorCore::kNoteMs);
    QMetaObject::invokeMethod(expiry, "timeout");
    EXPECT_EQ(core.title(), "kestrel — USB3");
    EXPECT_EQ(titles.size(), 6)
        << "each change once: no reply, a reply, searching, registered, the note, its end";
}

} // namespace
