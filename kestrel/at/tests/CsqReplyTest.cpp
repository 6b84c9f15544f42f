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

const QString kOp = QStringLiteral("Mobile Net");

struct CsqRow {
    const char* name;
    QString reply;
    CsqExpect expect;
    QString operatorText = kOp;
    QString accessTechnology = QStringLiteral("2");
    bool percentMode = false;
};

const CsqExpect kNothing{"17", nullopt, nullopt, nullopt, false};

// clang-format off
const CsqRow kRows[] = {
    {"Index20", "\r\n+CSQ: 20,99" + kOk, {"20", DbmLevel(-73), 20, "  -73db"}},
    {"Index0IsTheWeakest", "\r\n+CSQ: 0,99" + kOk, {"0", DbmLevel(-113), 0, "  -113db"}},
    {"Index31IsTheStrongest", "\r\n+CSQ: 31,99" + kOk,
     {"31", DbmLevel(-51), 31, "  -51db"}, kOp, "0"},
    {"Index99IsNoReading", "\r\n+CSQ: 99,99" + kOk, {"99", kCleared, 0, ""}},
    {"Index56IsStillAReading", "\r\n+CSQ: 56,99" + kOk, {"56", DbmLevel(-1), 56, "  -1db"}},
    {"Index57IsAboveZeroDbm", "\r\n+CSQ: 57,99" + kOk, {"57", kCleared, 0, ""}},
    {"PercentModeShowsTheBarsPercentage", "\r\n+CSQ: 20,99" + kOk,
     {"20", DbmLevel(-73), 20, nullopt, true}, kOp, "2", true},
    {"PercentModeClearsLikeDbmMode", "\r\n+CSQ: 99,99" + kOk,
     {"99", kCleared, 0, ""}, kOp, "2", true},
    {"EmptyOperatorLeavesTheBarButRewritesTheLabel", "\r\n+CSQ: 20,99" + kOk,
     {"20", DbmLevel(-73), nullopt, "  -73db"}, ""},
    {"EchoBeforeTheReplyDoesNotShiftTheCut", "AT+CSQ\r\r\n+CSQ: 20,99" + kOk,
     {"20", DbmLevel(-73), 20, "  -73db"}},
    {"HcsqLineBeforeTheReplyDoesNotShiftTheCut",
     "\r\n^HCSQ:\"LTE\",48,40,120,25\r\n\r\n+CSQ: 25,99" + kOk,
     {"25", DbmLevel(-63), 25, "  -63db"}, kOp, "7"},
    {"IndexThatIsNoNumberClears", "\r\n+CSQ: xx,99" + kOk, {"xx", kCleared, 0, ""}},
    {"EmptyIndexClears", "\r\n+CSQ: ,99" + kOk, {"", kCleared, 0, ""}},
    {"CommaBeforeTheBlankKeepsTheLastIndex", "\r\n+CSQ:20, 99" + kOk,
     {"17", DbmLevel(-79), 17, "  -79db"}},
    {"NoTechnologyDigitStillReadsTheLevel", "\r\n+CSQ: 20,99" + kOk,
     {"20", DbmLevel(-73), 20, "  -73db"}, kOp, ""},
    {"SplitReplyLeavesOnlyTheOk", "\r\nOK\r\n", kNothing},
    {"CmeErrorChangesNothing", "\r\n+CME ERROR: 10\r\n", kNothing},
    {"SilentModemChangesNothing", "", kNothing, ""},
};
// clang-format on

TEST(CsqReply, WritesWhatTheStepsCut)
{
    for (const CsqRow& row : kRows) {
        SCOPED_TRACE(row.name);
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
}

} // namespace
