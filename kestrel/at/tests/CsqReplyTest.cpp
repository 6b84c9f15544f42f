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

void PrintTo(const CsqRow& row, std::ostream* os)
{
    *os << row.name;
}

class CsqReply : public testing::TestWithParam<CsqRow>
{
};

TEST_P(CsqReply, WritesWhatTheStepsCut)
{
    const CsqRow& row = GetParam();
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
INSTANTIATE_TEST_SUITE_P(Replies, CsqReply, testing::Values(
    CsqRow{"Index20", "\r\n+CSQ: 20,99" + kOk, kOp, "2", false,
           {"20", DbmLevel(-73), 20, "  -73db"}},
    CsqRow{"Index0IsTheWeakest", "\r\n+CSQ: 0,99" + kOk, kOp, "2", false,
           {"0", DbmLevel(-113), 0, "  -113db"}},
    CsqRow{"Index31IsTheStrongest", "\r\n+CSQ: 31,99" + kOk, kOp, "0", false,
           {"31", DbmLevel(-51), 31, "  -51db"}},
    CsqRow{"Index99IsNoReading", "\r\n+CSQ: 99,99" + kOk, kOp, "2", false,
           {"99", kCleared, 0, ""}},
    CsqRow{"Index56IsStillAReading", "\r\n+CSQ: 56,99" + kOk, kOp, "2", false,
           {"56", DbmLevel(-1), 56, "  -1db"}},
    CsqRow{"Index57IsAboveZeroDbm", "\r\n+CSQ: 57,99" + kOk, kOp, "2", false,
           {"57", kCleared, 0, ""}},
    CsqRow{"PercentModeShowsTheBarsPercentage", "\r\n+CSQ: 20,99" + kOk, kOp, "2", true,
           {"20", DbmLevel(-73), 20, nullopt, true}},
    CsqRow{"PercentModeClearsLikeDbmMode", "\r\n+CSQ: 99,99" + kOk, kOp, "2", true,
           {"99", kCleared, 0, ""}},
    CsqRow{"EmptyOperatorLeavesTheBarButRewritesTheLabel", "\r\n+CSQ: 20,99" + kOk, "", "2", false,
           {"20", DbmLevel(-73), nullopt, "  -73db"}},
    CsqRow{"EchoBeforeTheReplyDoesNotShiftTheCut", "AT+CSQ\r\r\n+CSQ: 20,99" + kOk, kOp, "2", false,
           {"20", DbmLevel(-73), 20, "  -73db"}},
    CsqRow{"ModeLineBeforeTheReplyDoesNotShiftTheCut",
           "\r\n^MODE: 5,4\r\n\r\n+CSQ: 25,99" + kOk, kOp, "2", false,
           {"25", DbmLevel(-63), 25, "  -63db"}},
    CsqRow{"CregLineBeforeTheReplyDoesNotShiftTheCut",
           "\r\n+CREG: 1\r\n\r\n+CSQ: 25,99" + kOk, kOp, "2", false,
           {"25", DbmLevel(-63), 25, "  -63db"}},
    CsqRow{"BootLineBeforeTheReplyDoesNotShiftTheCut",
           "\r\n^BOOT:20952211,0,0,0,72\r\n\r\n+CSQ: 25,99" + kOk, kOp, "7", false,
           {"25", DbmLevel(-63), 25, "  -63db"}},
    CsqRow{"FlowReportBeforeTheReplyDoesNotShiftTheCut",
           "\r\n^DSFLOWRPT:0000003C,00000000,00000000,0000000000001F40,00000000000055F0,"
           "0003E800,0003E800\r\n\r\n+CSQ: 25,99" + kOk, kOp, "7", false,
           {"25", DbmLevel(-63), 25, "  -63db"}},
    CsqRow{"HcsqLineBeforeTheReplyDoesNotShiftTheCut",
           "\r\n^HCSQ:\"LTE\",48,40,120,25\r\n\r\n+CSQ: 25,99" + kOk, kOp, "7", false,
           {"25", DbmLevel(-63), 25, "  -63db"}},
    CsqRow{"IndexThatIsNoNumberClears", "\r\n+CSQ: xx,99" + kOk, kOp, "2", false,
           {"xx", kCleared, 0, ""}},
    CsqRow{"NegativeIndexClears", "\r\n+CSQ: -5,99" + kOk, kOp, "2", false,
           {"-5", kCleared, 0, ""}},
    CsqRow{"EmptyIndexClears", "\r\n+CSQ: ,99" + kOk, kOp, "2", false,
           {"", kCleared, 0, ""}},
    CsqRow{"CommaBeforeTheBlankKeepsTheLastIndex", "\r\n+CSQ:20, 99" + kOk, kOp, "2", false,
           {"17", DbmLevel(-79), 17, "  -79db"}},
    CsqRow{"NoTechnologyDigitStillReadsTheLevel", "\r\n+CSQ: 20,99" + kOk, kOp, "", false,
           {"20", DbmLevel(-73), 20, "  -73db"}},
    CsqRow{"SplitReplyLeavesOnlyTheOk", "\r\nOK\r\n", kOp, "2", false, kNothing},
    CsqRow{"CmeErrorChangesNothing", "\r\n+CME ERROR: 10\r\n", kOp, "2", false, kNothing},
    CsqRow{"SilentModemChangesNothing", "", "", "2", false, kNothing}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
