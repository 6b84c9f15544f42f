#include "kestrel/at/CgregReply.h"

#include "kestrel/at/tests/ModemReply.h"
#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{

using at::CgregReading;
using at::CgregState;
using std::nullopt;

const CgregState kNone{};
const CgregState kKept{"1A2B", "00C3D4E5"};
using Labels = std::pair<std::optional<QString>, std::optional<QString>>; // LAC, cell ID
const Labels kKeptShown{"6699", "12834021"};

struct CgregRow {
    const char* name;
    QString reply;
    CgregState kept;
    CgregState expectKept;
    Labels labels;
    bool cereg = false; // the reply to "AT+CEREG?"
};

// clang-format off
const CgregRow kCgregRows[] = {
    {"HuaweiE1550BothLocationFields", ok("+CGREG: 2,1, 1A2B, 00C3D4E5"), kNone, kKept, kKeptShown},
    // A reply read without its leading line break still starts with its report.
    {"ReportAtTheVeryStart", "+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n", kNone, kKept, kKeptShown},
    // One quoted string across the comma gives no numbers: the labels are left alone.
    {"QuotesAcrossTheComma", ok("+CGREG: 2,1,\"1A2B,00C3D4E5\""),
     kKept, {"\"1A2B", "00C3D4E5\""}, {}},
    {"LacFFFEAndCellWithTopBitSet",
     ok("+CGREG: 2,1, FFFE, 8000000A"), kKept, {"FFFE", "8000000A"}, {"65534", "2147483658"}},
    {"LowerCaseHexWhileRoaming",
     ok("+CGREG: 2,5, 1a2b, 00c3d4e5"), kNone, {"1a2b", "00c3d4e5"}, kKeptShown},
    {"NineDigitCellLeavesOnlyItsLabel",
     ok("+CGREG: 2,1, 1A2C, 100C3D4E5"), kKept, {"1A2C", "100C3D4E5"}, {"6700", nullopt}},
    {"EmptyLacFieldShowsTheKeptOnes", ok("+CGREG: 2,1, , 00C3D4E6"), kKept, kKept, kKeptShown},
    {"NoLocationFieldsAndNothingKeptChangesNoLabel", ok("+CGREG: 2,2"), kNone, kNone, {}},
    {"NoLocationFieldsAfterAnEchoShowsTheKeptOnes",
     "AT+CGREG?\r" + ok("+CGREG: 2,0"), kKept, kKept, kKeptShown},
    {"Mode1WithStatus2IsNotMode2", ok("+CGREG: 1,2"), kKept, kKept, {}},
    {"Mode0WithStatus0IsTheSolicitedForm", ok("+CGREG: 0,0"), kKept, kKept, {}},
    // A location field makes it more than a reporting mode: the kept fields are shown again.
    {"Mode1WithALacAloneShowsTheKeptOnes", ok("+CGREG: 1,1,8BE3"), kKept, kKept, kKeptShown},
    {"SearchingWithLocationFieldsTakesTheCellItSees",
     ok("+CGREG: 2,2, 1A2C, 00C3D4E6"), kKept, {"1A2C", "00C3D4E6"}, {"6700", "12834022"}},
    {"CommaBlankInAnEarlierLineDoesNotMatter",
     ok("^HCSQ: \"WCDMA\", 45, 38\r\n\r\n+CGREG: 2,1, 1A2B, 00C3D4E5"), kNone, kKept, kKeptShown},
    {"UnsolicitedReportBeforeTheReplyLeavesTheReplyToRead",
     ok("+CGREG: 1,\"1A2C\",\"00C3D4E6\"\r\n\r\n+CGREG: 2,1,\"1A2B\",\"00C3D4E5\""),
     kNone, kKept, kKeptShown},
    // A line without its line end may be cut short: its location is not taken.
    {"ReplyEndingBeforeTheLineEndKeepsTheLocation",
     "\r\n+CGREG: 2,1, 1A2C, 00C3", kKept, kKept, kKeptShown},
    {"CmeErrorChangesNothing", "\r\n+CME ERROR: 2\r\n", kKept, kKept, {}},
    {"EmptyReplyAfter500ReadsChangesNothing", "", kKept, kKept, {}},
    // The fields of replies captured from these devices (ModemManager's test table).
    {"EricssonF3607gwQuotedWithAct",
     ok("+CGREG: 2,1,\"8BE3\",\"00002B5D\",3"), kKept, {"8BE3", "00002B5D"}, {"35811", "11101"}},
    {"EricssonF3607gwUnsolicited",
     "\r\n+CGREG: 1,\"8BE3\",\"00002B5D\",3\r\n", kKept, {"8BE3", "00002B5D"}, {"35811", "11101"}},
    {"HuaweiE160GNoBlanks",
     ok("+CGREG: 2,1,8BE3,2BAF"), kKept, {"8BE3", "2BAF"}, {"35811", "11183"}},
    {"HuaweiE160GUnregistered", ok("+CGREG: 2,0,00,0"), kKept, kKept, kKeptShown},
    {"ThurayaBlanksAfterEveryComma",
     ok("+CGREG: 2, 1, \"0426\", \"F00F\""), kKept, {"0426", "F00F"}, {"1062", "61455"}},
    {"SonyEricssonMD400RoamingUnsolicited", "\r\n+CGREG: 5,\"0502\",\"0404736D\",2\r\n",
     kNone, {"0502", "0404736D"}, {"1282", "67400557"}},
    {"SierraMercuryMode1WithLocation",
     ok("+CGREG: 1,1,84CD,00D30173"), kNone, {"84CD", "00D30173"}, {"33997", "13828467"}},
    {"AlcatelX220DRandomBlanks",
     "\r\n+CGREG: 2,1, 81ED, 1A9CEB\r\n", kNone, {"81ED", "1A9CEB"}, {"33261", "1744107"}},
    {"SamsungWaveS8500ExtraFields",
     "\r\n+CGREG: 2,1,000B,2816, B, C2816\r\n", kNone, {"000B", "2816"}, {"11", "10262"}},
    {"UbloxTobyL2SmsOnlyIsARealCell",
     ok("+CGREG: 2,6,\"8B37\",\"0A265185\",7"), kKept, {"8B37", "0A265185"}, {"35639", "170283397"}},
    {"IridiumZeroPaddedFields",
     ok("+CGREG:002,001,\"18d8\",\"ffff\""), kNone, {"18d8", "ffff"}, {"6360", "65535"}},
    {"CeregAltairSearching",
     "\r\n+CEREG: 1, 2, 0001, 00000100, 7\r\n", kKept, {"0001", "00000100"}, {"1", "256"}, true},
    {"CeregNovatelE362ExtraFieldAfterTheTac", ok("+CEREG: 2,1, 1F00, 20 ,79D903 ,7"),
     kNone, {"1F00", "79D903"}, {"7936", "7985411"}, true},
    {"CeregTacAnd28BitCellId", ok("+CEREG: 2,1,\"1A2B\",\"01A2D001\",7"),
     kNone, {"1A2B", "01A2D001"}, {"6699", "27447297"}, true},
    {"CeregUnsolicitedBlanks",
     "\r\n+CEREG: 1, 1F00, 79D903 ,7\r\n", kNone, {"1F00", "79D903"}, {"7936", "7985411"}, true},
    {"CeregReadsNoCgregLine", ok("+CGREG: 2,1, 1A2C, 00C3D4E6"), kKept, kKept, {}, true},
};
// clang-format on

TEST(CgregReply, GivesTheKeptFieldsInDecimal)
{
    for (const CgregRow& row : kCgregRows) {
        SCOPED_TRACE(row.name);
        const at::CgregOutcome out = row.cereg ? at::parseCeregReply(row.reply, row.kept)
                                               : at::parseCgregReply(row.reply, row.kept);
        EXPECT_EQ(out.state.lacText, row.expectKept.lacText);
        EXPECT_EQ(out.state.cellIdText, row.expectKept.cellIdText);
        EXPECT_EQ(Labels(out.lac, out.cellId), row.labels);
        // A location is new fields taken and both readable; without a report line, no report.
        const bool taken = row.expectKept.lacText != row.kept.lacText ||
                           row.expectKept.cellIdText != row.kept.cellIdText;
        const bool report = row.reply.contains(row.cereg ? "+CEREG:" : "+CGREG:");
        EXPECT_EQ(out.reading, !report ? CgregReading::NoReport
                               : taken && row.labels.first && row.labels.second
                                   ? CgregReading::Location
                                   : CgregReading::NoLocation);
    }
}

// The <stat> of the report, for the title: solicited or not, padded or not.
TEST(CgregReply, TellsTheRegistrationStatus)
{
    for (const auto& [reply, status] : std::vector<std::pair<QString, std::optional<int>>>{
             {ok("+CGREG: 2,0"), 0},
             {ok("+CGREG: 1,2"), 2},
             {ok("+CGREG:002,003,\"18d8\",\"ffff\""), 3},
             {"\r\n+CGREG: 5,\"0502\",\"0404736D\",2\r\n", 5},
             {"\r\n+CME ERROR: 2\r\n", nullopt}})
        EXPECT_EQ(at::parseCgregReply(reply, kNone).status, status) << reply.toStdString();
}

} // namespace
