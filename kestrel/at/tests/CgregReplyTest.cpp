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
    bool cereg = false; // the reply to "AT+CEREG?"
};

void check(const CgregRow& row)
{
    const at::CgregOutcome out = row.cereg ? at::parseCeregReply(row.reply, row.kept)
                                           : at::parseCgregReply(row.reply, row.kept);
    EXPECT_EQ(out.state.lacText, row.expectKept.lacText);
    EXPECT_EQ(out.state.cellIdText, row.expectKept.cellIdText);
    EXPECT_EQ(out.display.lblLac, row.lblLac);
    EXPECT_EQ(out.display.lblCellId, row.lblCellId);
    EXPECT_FALSE(out.display.lblCops || out.display.lblCsq || out.display.text1 ||
                 out.display.barValue || out.display.levelDbm);
}

// clang-format off
const CgregRow kRows[] = {
    {"HuaweiE1550BothLocationFields", "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5" + kOk,
     kNothingKept, kKeptWorked, "6699", "12834021"},
    // A reply read without its leading line break still starts with its report.
    {"ReportAtTheVeryStart", "+CGREG: 2,1, 1A2B, 00C3D4E5" + kOk,
     kNothingKept, kKeptWorked, "6699", "12834021"},
    // One quoted string across the comma gives no numbers: the labels are left alone.
    {"QuotesAcrossTheComma", "\r\n+CGREG: 2,1,\"1A2B,00C3D4E5\"" + kOk,
     kKeptWorked, {"\"1A2B", "00C3D4E5\""}, nullopt, nullopt},
    {"LacFFFEAndCellWithTopBitSet", "\r\n+CGREG: 2,1, FFFE, 8000000A" + kOk,
     kKeptWorked, {"FFFE", "8000000A"}, "65534", "2147483658"},
    {"LowerCaseHexWhileRoaming", "\r\n+CGREG: 2,5, 1a2b, 00c3d4e5" + kOk,
     kNothingKept, {"1a2b", "00c3d4e5"}, "6699", "12834021"},
    {"NineDigitCellLeavesOnlyItsLabel", "\r\n+CGREG: 2,1, 1A2C, 100C3D4E5" + kOk,
     kKeptWorked, {"1A2C", "100C3D4E5"}, "6700", nullopt},
    {"EmptyLacFieldShowsTheKeptOnes", "\r\n+CGREG: 2,1, , 00C3D4E6" + kOk,
     kKeptWorked, kKeptWorked, "6699", "12834021"},
    {"NoLocationFieldsShowsTheKeptOnesAgain", "\r\n+CGREG: 2,0" + kOk,
     kKeptWorked, kKeptWorked, "6699", "12834021"},
    {"NoLocationFieldsAndNothingKeptChangesNoLabel", "\r\n+CGREG: 2,2" + kOk,
     kNothingKept, kNothingKept, nullopt, nullopt},
    {"NoLocationFieldsAfterAnEchoShowsTheKeptOnes", "AT+CGREG?\r\r\n+CGREG: 2,0" + kOk,
     kKeptWorked, kKeptWorked, "6699", "12834021"},
    {"ReportWithoutMode2ChangesNothing", "\r\n+CGREG: 0,1" + kOk,
     kKeptWorked, kKeptWorked, nullopt, nullopt},
    {"Mode1WithStatus2IsNotMode2", "\r\n+CGREG: 1,2" + kOk,
     kKeptWorked, kKeptWorked, nullopt, nullopt},
    {"SearchingWithLocationFieldsKeepsTheLastLocation",
     "\r\n+CGREG: 2,2, 1A2C, 00C3D4E6" + kOk, kKeptWorked, kKeptWorked, "6699", "12834021"},
    {"CommaBlankInAnEarlierLineDoesNotMatter",
     "\r\n^HCSQ: \"WCDMA\", 45, 38\r\n\r\n+CGREG: 2,1, 1A2B, 00C3D4E5" + kOk,
     kNothingKept, kKeptWorked, "6699", "12834021"},
    {"UnsolicitedReportBeforeTheReplyLeavesTheReplyToRead",
     "\r\n+CGREG: 1,\"1A2C\",\"00C3D4E6\"\r\n\r\n+CGREG: 2,1,\"1A2B\",\"00C3D4E5\"" + kOk,
     kNothingKept, kKeptWorked, "6699", "12834021"},
    // A line without its line end may be cut short: its location is not taken.
    {"ReplyEndingBeforeTheLineEndKeepsTheLocation", "\r\n+CGREG: 2,1, 1A2C, 00C3",
     kKeptWorked, kKeptWorked, "6699", "12834021"},
    {"CmeErrorChangesNothing", "\r\n+CME ERROR: 2\r\n",
     kKeptWorked, kKeptWorked, nullopt, nullopt},
    {"EmptyReplyAfter500ReadsChangesNothing", "",
     kKeptWorked, kKeptWorked, nullopt, nullopt},
    // The fields of replies captured from these devices (ModemManager's test table).
    {"EricssonF3607gwQuotedWithAct", "\r\n+CGREG: 2,1,\"8BE3\",\"00002B5D\",3" + kOk,
     kKeptWorked, {"8BE3", "00002B5D"}, "35811", "11101"},
    {"EricssonF3607gwUnsolicited", "\r\n+CGREG: 1,\"8BE3\",\"00002B5D\",3\r\n",
     kKeptWorked, {"8BE3", "00002B5D"}, "35811", "11101"},
    {"HuaweiE160GNoBlanks", "\r\n+CGREG: 2,1,8BE3,2BAF" + kOk,
     kKeptWorked, {"8BE3", "2BAF"}, "35811", "11183"},
    {"HuaweiE160GUnregistered", "\r\n+CGREG: 2,0,00,0" + kOk,
     kKeptWorked, kKeptWorked, "6699", "12834021"},
    {"ThurayaBlanksAfterEveryComma", "\r\n+CGREG: 2, 1, \"0426\", \"F00F\"" + kOk,
     kKeptWorked, {"0426", "F00F"}, "1062", "61455"},
    {"UnsolicitedWithActAndRac", "\r\n+CGREG: 1,\"1422\",\"00000142\",3,\"00\"\r\n",
     kKeptWorked, {"1422", "00000142"}, "5154", "322"},
    {"SonyEricssonMD400RoamingUnsolicited",
     "\r\n+CGREG: 5,\"0502\",\"0404736D\",2\r\n",
     kNothingKept, {"0502", "0404736D"}, "1282", "67400557"},
    {"SierraMercuryMode1WithLocation", "\r\n+CGREG: 1,1,84CD,00D30173" + kOk,
     kNothingKept, {"84CD", "00D30173"}, "33997", "13828467"},
    {"AlcatelX220DRandomBlanks", "\r\n+CGREG: 2,1, 81ED, 1A9CEB\r\n",
     kNothingKept, {"81ED", "1A9CEB"}, "33261", "1744107"},
    {"SamsungWaveS8500ExtraFields", "\r\n+CGREG: 2,1,000B,2816, B, C2816\r\n",
     kNothingKept, {"000B", "2816"}, "11", "10262"},
    {"UbloxTobyL2SmsOnlyKeepsTheLastLocation",
     "\r\n+CGREG: 2,6,\"8B37\",\"0A265185\",7" + kOk,
     kKeptWorked, kKeptWorked, "6699", "12834021"},
    {"CeregAltairSearching", "\r\n+CEREG: 1, 2, 0001, 00000100, 7\r\n",
     kKeptWorked, kKeptWorked, "6699", "12834021", true},
    {"CeregTacAnd28BitCellId", "\r\n+CEREG: 2,1,\"1A2B\",\"01A2D001\",7" + kOk,
     kNothingKept, {"1A2B", "01A2D001"}, "6699", "27447297", true},
    {"CeregUnsolicitedBlanks", "\r\n+CEREG: 1, 1F00, 79D903 ,7\r\n",
     kNothingKept, {"1F00", "79D903"}, "7936", "7985411", true},
    {"CeregReadsNoCgregLine", "\r\n+CGREG: 2,1, 1A2C, 00C3D4E6" + kOk,
     kKeptWorked, kKeptWorked, nullopt, nullopt, true},
};

TEST(CgregReply, ShowsTheKeptFieldsInDecimal)
{
    for (const CgregRow& row : kRows) {
     SCOPED_TRACE(row.name);
     check(row);
    }
}
// clang-format on

} // namespace
