#include "kestrel/at/CsqReply.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using at::DbmLevel;
using std::nullopt;

const QString kCsqOk = QStringLiteral("\r\n\r\nOK\r\n");

struct CsqRow {
    const char* name;
    QString reply;
    QString signalText;       // kept for the next cycle; "17" before
    bool levelRead;           // the reply told a level, or that there is none
    std::optional<int> index; // with a level
};

// clang-format off
const CsqRow kCsqRows[] = {
    {"Index20", "\r\n+CSQ: 20,99" + kCsqOk, "20", true, 20},
    {"Index0IsTheWeakest", "\r\n+CSQ: 0,99" + kCsqOk, "0", true, 0},
    {"Index31IsTheStrongest", "\r\n+CSQ: 31,99" + kCsqOk, "31", true, 31},
    {"Index99IsNoReading", "\r\n+CSQ: 99,99" + kCsqOk, "99", true, nullopt},
    {"Index56IsStillAReading", "\r\n+CSQ: 56,99" + kCsqOk, "56", true, 56},
    {"Index57IsAboveZeroDbm", "\r\n+CSQ: 57,99" + kCsqOk, "57", true, nullopt},
    {"EchoBeforeTheReplyDoesNotShiftTheCut", "AT+CSQ\r\r\n+CSQ: 20,99" + kCsqOk, "20", true, 20},
    {"HcsqLineBeforeTheReplyDoesNotShiftTheCut",
     "\r\n^HCSQ:\"LTE\",48,40,120,25\r\n\r\n+CSQ: 25,99" + kCsqOk, "25", true, 25},
    {"IndexThatIsNoNumberClears", "\r\n+CSQ: xx,99" + kCsqOk, "xx", true, nullopt},
    {"EmptyIndexClears", "\r\n+CSQ: ,99" + kCsqOk, "", true, nullopt},
    {"CommaBeforeTheBlankKeepsTheLastIndex", "\r\n+CSQ:20, 99" + kCsqOk, "17", true, 17},
    {"SplitReplyLeavesOnlyTheOk", "\r\nOK\r\n", "17", false, nullopt},
    {"CmeErrorChangesNothing", "\r\n+CME ERROR: 10\r\n", "17", false, nullopt},
    {"SilentModemChangesNothing", "", "17", false, nullopt},
};
// clang-format on

TEST(CsqReply, TellsTheIndexAndItsLevel)
{
    for (const CsqRow& row : kCsqRows) {
        SCOPED_TRACE(row.name);
        const at::CsqOutcome out = at::parseCsqReply(row.reply, at::CsqState{"17"});

        EXPECT_EQ(out.state.signalText, row.signalText);
        EXPECT_EQ(out.levelRead, row.levelRead);
        EXPECT_EQ(out.index, row.index);
        EXPECT_EQ(out.levelDbm, row.index ? DbmLevel(-113 + 2 * *row.index) : DbmLevel());
    }
}

} // namespace
