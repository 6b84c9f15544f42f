#include "kestrel/at/CsqReply.h"

#include "kestrel/at/tests/QtPrinters.h"

#include <gtest/gtest.h>

namespace
{

using at::DbmLevel;
using std::nullopt;

const QString kOk = QStringLiteral("\r\n\r\nOK\r\n");
const std::optional<DbmLevel> kCleared = DbmLevel();

struct CsqExpect {
    QString signalText;
    std::optional<DbmLevel> levelDbm;
    std::optional<int> barValue;
    std::optional<QString> lblCsq;
    bool fromBarPercentage = false;
};

struct CsqRow {
    const char* name;
    QString reply;
    QString operatorText;
    QString accessTechnology;
    bool percentMode;
    CsqExpect expect;
};

void check(const CsqRow& row)
{
    const at::CopsState cops{row.operatorText, row.accessTechnology, " (3G)", "0"};
    const at::CsqState kept{"17"};
    const at::CsqOutcome out = at::parseCsqReply(row.reply, cops, kept, row.percentMode);
    const CsqExpect& want = row.expect;

    EXPECT_EQ(out.state.signalText, want.signalText);
    EXPECT_EQ(out.display.levelDbm, want.levelDbm);
    EXPECT_EQ(out.display.barValue, want.barValue);
    EXPECT_EQ(out.display.lblCsq, want.lblCsq);
    EXPECT_EQ(out.display.lblCsqFromBarPercentage, want.fromBarPercentage);
    EXPECT_EQ(out.display.text1, row.reply);
    EXPECT_EQ(out.runPcgreg, !row.operatorText.isEmpty());
    EXPECT_FALSE(out.display.lblCops || out.display.lblMcc || out.display.lblLac ||
                 out.display.technologyColour);
}

const QString kOp = QStringLiteral("Mobile Net");
const CsqExpect kNothing{"17", nullopt, nullopt, nullopt, false};

// clang-format off
const CsqRow kRows[] = {
    {"Index20", "\r\n+CSQ: 20,99" + kOk, kOp, "2", false,
     {"20", DbmLevel(-73), 20, "  -73db"}},
    {"Index0IsTheWeakest", "\r\n+CSQ: 0,99" + kOk, kOp, "2", false,
     {"0", DbmLevel(-113), 0, "  -113db"}},
    {"Index31IsTheStrongest", "\r\n+CSQ: 31,99" + kOk, kOp, "0", false,
     {"31", DbmLevel(-51), 31, "  -51db"}},
    {"Index99IsNoReading", "\r\n+CSQ: 99,99" + kOk, kOp, "2", false,
     {"99", kCleared, 0, ""}},
    {"Index56IsStillAReading", "\r\n+CSQ: 56,99" + kOk, kOp, "2", false,
     {"56", DbmLevel(-1), 56, "  -1db"}},
    {"Index57IsAboveZeroDbm", "\r\n+CSQ: 57,99" + kOk, kOp, "2", false,
     {"57", kCleared, 0, ""}},
    {"PercentModeShowsTheBarsPercentage", "\r\n+CSQ: 20,99" + kOk, kOp, "2", true,
     {"20", DbmLevel(-73), 20, nullopt, true}},
    {"PercentModeClearsLikeDbmMode", "\r\n+CSQ: 99,99" + kOk, kOp, "2", true,
     {"99", kCleared, 0, ""}},
    {"EmptyOperatorLeavesTheBarButRewritesTheLabel", "\r\n+CSQ: 20,99" + kOk, "", "2", false,
     {"20", DbmLevel(-73), nullopt, "  -73db"}},
    {"EchoBeforeTheReplyDoesNotShiftTheCut", "AT+CSQ\r\r\n+CSQ: 20,99" + kOk, kOp, "2", false,
     {"20", DbmLevel(-73), 20, "  -73db"}},
    {"ModeLineBeforeTheReplyDoesNotShiftTheCut",
     "\r\n^MODE: 5,4\r\n\r\n+CSQ: 25,99" + kOk, kOp, "2", false,
     {"25", DbmLevel(-63), 25, "  -63db"}},
    {"CregLineBeforeTheReplyDoesNotShiftTheCut",
     "\r\n+CREG: 1\r\n\r\n+CSQ: 25,99" + kOk, kOp, "2", false,
     {"25", DbmLevel(-63), 25, "  -63db"}},
    {"BootLineBeforeTheReplyDoesNotShiftTheCut",
     "\r\n^BOOT:20952211,0,0,0,72\r\n\r\n+CSQ: 25,99" + kOk, kOp, "7", false,
     {"25", DbmLevel(-63), 25, "  -63db"}},
    {"FlowReportBeforeTheReplyDoesNotShiftTheCut",
     "\r\n^DSFLOWRPT:0000003C,00000000,00000000,0000000000001F40,00000000000055F0,"
     "0003E800,0003E800\r\n\r\n+CSQ: 25,99" + kOk, kOp, "7", false,
     {"25", DbmLevel(-63), 25, "  -63db"}},
    {"HcsqLineBeforeTheReplyDoesNotShiftTheCut",
     "\r\n^HCSQ:\"LTE\",48,40,120,25\r\n\r\n+CSQ: 25,99" + kOk, kOp, "7", false,
     {"25", DbmLevel(-63), 25, "  -63db"}},
    {"IndexThatIsNoNumberClears", "\r\n+CSQ: xx,99" + kOk, kOp, "2", false,
     {"xx", kCleared, 0, ""}},
    {"NegativeIndexClears", "\r\n+CSQ: -5,99" + kOk, kOp, "2", false,
     {"-5", kCleared, 0, ""}},
    {"EmptyIndexClears", "\r\n+CSQ: ,99" + kOk, kOp, "2", false,
     {"", kCleared, 0, ""}},
    {"CommaBeforeTheBlankKeepsTheLastIndex", "\r\n+CSQ:20, 99" + kOk, kOp, "2", false,
     {"17", DbmLevel(-79), 17, "  -79db"}},
    {"NoTechnologyDigitStillReadsTheLevel", "\r\n+CSQ: 20,99" + kOk, kOp, "", false,
     {"20", DbmLevel(-73), 20, "  -73db"}},
    {"SplitReplyLeavesOnlyTheOk", "\r\nOK\r\n", kOp, "2", false, kNothing},
    {"CmeErrorChangesNothing", "\r\n+CME ERROR: 10\r\n", kOp, "2", false, kNothing},
    {"SilentModemChangesNothing", "", "", "2", false, kNothing},
};

TEST(CsqReply, WritesWhatTheStepsCut)
{
    for (const CsqRow& row : kRows) {
     SCOPED_TRACE(row.name);
     check(row);
    }
}
// clang-format on

} // namespace
