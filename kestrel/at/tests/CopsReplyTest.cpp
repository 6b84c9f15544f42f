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

const CopsState kAfterName{"Mobile Net", "2", " (3G)", "0"};

const CopsExpect kUnchanged{kAfterName, nullopt, nullopt, nullopt, nullopt, nullopt, false};
const QString kToCode = QStringLiteral("AT+COPS=0,2");
const QString kToName = QStringLiteral("AT+COPS=0,0");

// A name cycle that shows `op` with `suffix` and asks for the code next.
CopsRow named(const char* name, const QString& reply, const QString& op, const char* field,
              const char* suffix, std::optional<QColor> colour, const CopsState& kept = kAfterName)
{
    return {name,
            reply,
            kept,
            {{op, field, suffix, "0"}, op + suffix, nullopt, nullopt, colour, kToCode}};
}

// A name cycle with the given technology field, after a 3G name cycle.
CopsRow tech(const char* name, const char* field, const char* suffix, std::optional<QColor> colour)
{
    return named(name, QStringLiteral("\r\n+COPS: 0,0,\"Mobile Net\",%1").arg(field) + kOk,
                 "Mobile Net", field, suffix, colour);
}

const QString kNet = QStringLiteral("Mobile Net");

// clang-format off
const CopsRow kRows[] = {
    named("NameCycle3GIsBlueThenAsksForTheCode", "\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kNet,
          "2", " (3G)", at::colour3G(), {}),
    {"CodeCycle2GShowsMccMncAndKeepsTheName", "\r\n+COPS: 0,2,\"00101\",0" + kOk, kAfterName,
     {{"00101", "0", " (2G)", "2"}, nullopt, "001", "01", at::colour2G(), kToName}},
    named("NameWithSpacesIsTakenWhole", "\r\n+COPS: 0,0,\"T Mobile UK Ltd\",2" + kOk,
          "T Mobile UK Ltd", "2", " (3G)", at::colour3G(), {}),
    named("NoTechnologyFieldKeepsSuffixAndColour", "\r\n+COPS: 0,0,\"Mobile Net\"" + kOk, kNet, "",
          " (2G)", nullopt, {"", "0", " (2G)", "2"}),
    tech("Technology3EdgeIs2G", "3", " (2G)", at::colour2G()),
    tech("Technology6HspaIs3G", "6", " (3G)", at::colour3G()),
    tech("Technology7LteIs4G", "7", " (4G)", at::colour4G()),
    tech("Technology10LteOn5GCoreIs4G", "10", " (4G)", at::colour4G()),
    tech("Technology13IsReadWholeAs5GNot2G", "13", " (5G)", at::colour5G()),
    tech("Technology8KeepsSuffixAndColour", "8", " (3G)", nullopt),
    named("EchoBeforeTheReplyDoesNotShiftTheFields",
          "AT+COPS?\r\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kNet, "2", " (3G)", at::colour3G(),
          {}),
    named("BlankInAnEarlierLineDoesNotShiftTheFields",
          "\r\n^MODE: 5,4\r\n\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kNet, "2", " (3G)",
          at::colour3G()),
    named("QuotesInAnEarlierLineDoNotShiftTheOperator",
          "\r\n^HCSQ:\"LTE\",48,40,120,25\r\n+COPS: 0,0,\"Mobile Net\",7" + kOk, kNet, "7", " (4G)",
          at::colour4G()),
    {"BootLineBeforeAThreeDigitMncCode",
     "\r\n^BOOT:20952211,0,0,0,72\r\n\r\n+COPS: 0,2,\"310260\",7" + kOk, kAfterName,
     {{"310260", "7", " (4G)", "2"}, nullopt, "310", "260", at::colour4G(), kToName}},
    {"NoOperatorClearsTheDisplayAndSendsNothing", "\r\n+COPS: 0" + kOk, kAfterName,
     {{"", "", " (3G)", "\n"}, "", "", "", nullopt, nullopt, true}},
    {"ShortNameFormatSendsNoSwitch", "\r\n+COPS: 0,1,\"MobNet\",2" + kOk, kAfterName,
     {{"MobNet", "2", " (3G)", "1"}, nullopt, nullopt, nullopt, at::colour3G(), nullopt}},
    named("EmptyQuotesGiveAnEmptyOperator", "\r\n+COPS: 0,0,\"\",2" + kOk, "", "2", " (3G)",
          at::colour3G()),
    named("LineCutAfterTheOpeningQuoteKeepsTheOperator", "\r\n+COPS: 0,0,\"Mob", kNet, "", " (3G)",
          nullopt),
    {"ErrorReplyChangesNothing", "\r\n+CME ERROR: 30\r\n", kAfterName, kUnchanged},
    {"LowerCaseTagIsNotAReply", "\r\n+cops: 0,0,\"Mobile Net\",2" + kOk, kAfterName, kUnchanged},
};
// clang-format on

TEST(CopsReply, WritesWhatTheStepsCut)
{
    for (const CopsRow& row : kRows) {
        SCOPED_TRACE(row.name);
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
}

} // namespace
