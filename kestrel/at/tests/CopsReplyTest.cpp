#include "kestrel/at/CopsReply.h"

#include "kestrel/at/tests/QtPrinters.h"

#include <gtest/gtest.h>

namespace
{

using at::CopsState;
using std::nullopt;

const QString kOk = QStringLiteral("\r\n\r\nOK\r\n");

// What a row expects beyond the raw view (which always gets the reply).
struct CopsExpect {
    CopsState state;
    std::optional<QString> lblCops;
    std::optional<QString> lblMcc;
    std::optional<QString> lblMnc;
    std::optional<QColor> colour;
    std::optional<QString> switchCommand; // also decides whether PCSQ runs
    bool clearsDisplay = false;
};

struct CopsRow {
    const char* name;
    QString reply;
    CopsState kept;
    CopsExpect expect;
};

void PrintTo(const CopsRow& row, std::ostream* os)
{
    *os << row.name;
}

const CopsState kAfterName{"Mobile Net", "2", " (3G)", "0"};

class CopsReply : public testing::TestWithParam<CopsRow>
{
};

TEST_P(CopsReply, WritesWhatTheStepsCut)
{
    const CopsRow& row = GetParam();
    const at::CopsOutcome out = at::parseCopsReply(row.reply, row.kept);
    const CopsExpect& want = row.expect;

    EXPECT_EQ(out.state.operatorText, want.state.operatorText);
    EXPECT_EQ(out.state.accessTechnology, want.state.accessTechnology);
    EXPECT_EQ(out.state.technologySuffix, want.state.technologySuffix);
    EXPECT_EQ(out.state.formatChar, want.state.formatChar);
    EXPECT_EQ(out.display.text1, row.reply);
    EXPECT_EQ(out.display.lblCops, want.lblCops);
    EXPECT_EQ(out.display.lblMcc, want.lblMcc);
    EXPECT_EQ(out.display.lblMnc, want.lblMnc);
    EXPECT_EQ(out.display.technologyColour, want.colour);
    EXPECT_EQ(out.switchCommand, want.switchCommand);
    EXPECT_EQ(out.runPcsq, want.switchCommand.has_value());

    const std::optional<QString> cleared =
        want.clearsDisplay ? std::optional<QString>(QString()) : nullopt;
    EXPECT_EQ(out.display.lblCsq, cleared);
    EXPECT_EQ(out.display.lblLac, cleared);
    EXPECT_EQ(out.display.lblCellId, cleared);
    EXPECT_EQ(out.display.barValue, want.clearsDisplay ? std::optional<int>(0) : nullopt);
    EXPECT_EQ(out.display.levelDbm.has_value(), want.clearsDisplay);
    if (out.display.levelDbm) {
        EXPECT_EQ(*out.display.levelDbm, at::DbmLevel()) << "no operator clears LevelDbm";
    }
    EXPECT_FALSE(out.display.lblCsqFromBarPercentage);
}

const CopsExpect kUnchanged{kAfterName, nullopt, nullopt, nullopt, nullopt, nullopt, false};
const QString kToCode = QStringLiteral("AT+COPS=0,2");
const QString kToName = QStringLiteral("AT+COPS=0,0");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Replies, CopsReply, testing::Values(
    CopsRow{"NameCycle3GIsBlueThenAsksForTheCode", "\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, {},
            {{"Mobile Net", "2", " (3G)", "0"}, "Mobile Net (3G)", nullopt, nullopt,
             at::colour3G(), kToCode}},
    CopsRow{"CodeCycle2GShowsMccMncAndKeepsTheName", "\r\n+COPS: 0,2,\"00101\",0" + kOk, kAfterName,
            {{"00101", "0", " (2G)", "2"}, nullopt, "001", "01", at::colour2G(), kToName}},
    CopsRow{"SixDigitCodeShowsOnlyDigitsFourAndFiveAsMnc", "\r\n+COPS: 0,2,\"310260\",2" + kOk,
            kAfterName,
            {{"310260", "2", " (3G)", "2"}, nullopt, "310", "26", at::colour3G(), kToName}},
    CopsRow{"NameWithSpacesIsTakenWhole", "\r\n+COPS: 0,0,\"T Mobile UK Ltd\",2" + kOk, {},
            {{"T Mobile UK Ltd", "2", " (3G)", "0"}, "T Mobile UK Ltd (3G)", nullopt, nullopt,
             at::colour3G(), kToCode}},
    CopsRow{"NoTechnologyDigitLeavesALineFeedAndKeepsSuffixAndColour",
            "\r\n+COPS: 0,0,\"Mobile Net\"" + kOk,
            {"", "0", " (2G)", "2"},
            {{"Mobile Net", "\n", " (2G)", "0"}, "Mobile Net (2G)", nullopt, nullopt, nullopt,
             kToCode}},
    CopsRow{"LteDigitKeepsSuffixAndColour", "\r\n+COPS: 0,0,\"Mobile Net\",7" + kOk,
            {"", "2", " (3G)", "2"},
            {{"Mobile Net", "7", " (3G)", "0"}, "Mobile Net (3G)", nullopt, nullopt, nullopt,
             kToCode}},
    CopsRow{"EchoBeforeTheReplyDoesNotShiftTheFields",
            "AT+COPS?\r\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, {},
            {{"Mobile Net", "2", " (3G)", "0"}, "Mobile Net (3G)", nullopt, nullopt,
             at::colour3G(), kToCode}},
    // The first blank is the one of "^MODE: ", so the format character is the "4" of its submode:
    // operator and colour change, but nothing is shown and no switch is sent.
    CopsRow{"BlankInAnEarlierLineShiftsTheFormatCharacter",
            "\r\n^MODE: 5,4\r\n\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kAfterName,
            {{"Mobile Net", "2", " (3G)", "4"}, nullopt, nullopt, nullopt, at::colour3G(),
             nullopt}},
    CopsRow{"QuotesInAnEarlierLineShiftTheOperator",
            "\r\n+CUSD: 0,\"Balance 5\",15\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kAfterName,
            {{"Balance 5", "1", " (3G)", "\""}, nullopt, nullopt, nullopt, nullopt, nullopt}},
    CopsRow{"NoOperatorClearsTheDisplayAndSendsNothing", "\r\n+COPS: 0" + kOk, kAfterName,
            {{"", "\n", " (3G)", "\n"}, "", "", "", nullopt, nullopt, true}},
    CopsRow{"NoOperatorAfterAnEchoLeavesTheEchoCharacterAsTechnology",
            "AT+COPS?\r\r\n+COPS: 0" + kOk, kAfterName,
            {{"", "T", " (3G)", "\n"}, "", "", "", nullopt, nullopt, true}},
    CopsRow{"ShortNameFormatSendsNoSwitch", "\r\n+COPS: 0,1,\"MobNet\",2" + kOk, kAfterName,
            {{"MobNet", "2", " (3G)", "1"}, nullopt, nullopt, nullopt, at::colour3G(), nullopt}},
    CopsRow{"EmptyQuotesGiveAnEmptyOperator", "\r\n+COPS: 0,0,\"\",2" + kOk, kAfterName,
            {{"", "2", " (3G)", "0"}, " (3G)", nullopt, nullopt, at::colour3G(), kToCode}},
    // "AT+COPS?" ends at the first read holding "+COPS:", even mid-line.
    CopsRow{"LineCutAfterTheOpeningQuoteKeepsTheOperator", "\r\n+COPS: 0,0,\"Mob", kAfterName,
            {{"Mobile Net", "\n", " (3G)", "0"}, "Mobile Net (3G)", nullopt, nullopt, nullopt,
             kToCode}},
    CopsRow{"ErrorReplyChangesNothing", "\r\n+CME ERROR: 30\r\n", kAfterName, kUnchanged},
    CopsRow{"LowerCaseTagIsNotAReply", "\r\n+cops: 0,0,\"Mobile Net\",2" + kOk, kAfterName,
            kUnchanged}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
