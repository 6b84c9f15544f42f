#include "kestrel/at/CgregReply.h"

#include "kestrel/at/tests/QtPrinters.h"

#include <gtest/gtest.h>

namespace
{

using at::CgregState;
using std::nullopt;

const QString kOk = QStringLiteral("\r\n\r\nOK\r\n");
const CgregState kNothingKept{};
const CgregState kKeptWorked{"1A2B", "00C3D4E5"};

struct CgregRow {
    const char* name;
    QString reply;
    CgregState kept;
    CgregState expectKept;
    std::optional<QString> lblLac;
    std::optional<QString> lblCellId;
};

void PrintTo(const CgregRow& row, std::ostream* os)
{
    *os << row.name;
}

class CgregReply : public testing::TestWithParam<CgregRow>
{
};

TEST_P(CgregReply, ShowsTheKeptFieldsInDecimal)
{
    const CgregRow& row = GetParam();
    const at::CgregOutcome out = at::parseCgregReply(row.reply, row.kept);
    EXPECT_EQ(out.state.lacText, row.expectKept.lacText);
    EXPECT_EQ(out.state.cellIdText, row.expectKept.cellIdText);
    EXPECT_EQ(out.display.lblLac, row.lblLac);
    EXPECT_EQ(out.display.lblCellId, row.lblCellId);
    EXPECT_FALSE(out.display.lblCops || out.display.lblCsq || out.display.text1 ||
                 out.display.barValue || out.display.levelDbm);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Replies, CgregReply, testing::Values(
    CgregRow{"BothLocationFields", "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5" + kOk,
             kNothingKept, kKeptWorked, "6699", "12834021"},
    CgregRow{"LacFFFEAndCellWithTopBitSet", "\r\n+CGREG: 2,1, FFFE, 8000000A" + kOk,
             kKeptWorked, {"FFFE", "8000000A"}, "65534", "2147483658"},
    CgregRow{"LowerCaseHex", "\r\n+CGREG: 2,5, 1a2b, 00c3d4e5" + kOk,
             kNothingKept, {"1a2b", "00c3d4e5"}, "6699", "12834021"},
    CgregRow{"NineDigitCellLeavesOnlyItsLabel", "\r\n+CGREG: 2,1, 1A2C, 100C3D4E5" + kOk,
             kKeptWorked, {"1A2C", "100C3D4E5"}, "6700", nullopt},
    CgregRow{"EmptyLacFieldLeavesOnlyItsLabel", "\r\n+CGREG: 2,1, , 00C3D4E6" + kOk,
             kKeptWorked, {"", "00C3D4E6"}, nullopt, "12834022"},
    CgregRow{"NoLocationFieldsShowsTheKeptOnesAgain", "\r\n+CGREG: 2,0" + kOk,
             kKeptWorked, kKeptWorked, "6699", "12834021"},
    CgregRow{"NoLocationFieldsAndNothingKeptChangesNoLabel", "\r\n+CGREG: 2,2" + kOk,
             kNothingKept, kNothingKept, nullopt, nullopt},
    // Without the leading line end the cell cut runs from position 2 to the first CR.
    CgregRow{"NoLocationFieldsAfterAnEchoSpoilsOnlyTheCell", "AT+CGREG?\r\r\n+CGREG: 2,0" + kOk,
             kKeptWorked, {"1A2B", "T+CGREG?"}, "6699", nullopt},
    CgregRow{"ReportWithoutMode2ChangesNothing", "\r\n+CGREG: 0,1" + kOk,
             kKeptWorked, kKeptWorked, nullopt, nullopt},
    CgregRow{"Mode1WithStatus2IsNotMode2", "\r\n+CGREG: 1,2" + kOk,
             kKeptWorked, kKeptWorked, nullopt, nullopt},
    CgregRow{"CommaBlankInAnEarlierLineIsTheFirstSeparator",
             "\r\n^HCSQ: \"WCDMA\", 45, 38\r\n\r\n+CGREG: 2,1, 1A2B, 00C3D4E5" + kOk,
             kNothingKept, {"45", "38"}, "69", "56"},
    CgregRow{"QuotedFieldsWithoutBlanksShowTheKeptOnes",
             "\r\n+CGREG: 2,1,\"1A2B\",\"00C3D4E5\"" + kOk,
             kKeptWorked, kKeptWorked, "6699", "12834021"},
    CgregRow{"QuotedFieldsWithoutBlanksAndNothingKept",
             "\r\n+CGREG: 2,1,\"1A2B\",\"00C3D4E5\"" + kOk,
             kNothingKept, kNothingKept, nullopt, nullopt},
    CgregRow{"QuotedFieldsWithBlanksAreNoNumbers", "\r\n+CGREG: 2,1, \"1A2B\", \"00C3D4E5\"" + kOk,
             kKeptWorked, {"\"1A2B\"", "\"00C3D4E5\""}, nullopt, nullopt},
    // No carriage return after the second separator: the cell cut has a negative length.
    CgregRow{"ReplyEndingBeforeTheLineEndKeepsTheCell", "\r\n+CGREG: 2,1, 1A2C, 00C3",
             kKeptWorked, {"1A2C", "00C3D4E5"}, "6700", "12834021"},
    CgregRow{"CmeErrorChangesNothing", "\r\n+CME ERROR: 2\r\n",
             kKeptWorked, kKeptWorked, nullopt, nullopt},
    CgregRow{"EmptyReplyAfter500ReadsChangesNothing", "",
             kKeptWorked, kKeptWorked, nullopt, nullopt}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
