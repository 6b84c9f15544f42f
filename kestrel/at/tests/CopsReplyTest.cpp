#include "kestrel/at/CopsReply.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using at::CopsReading;
using at::CopsState;
using at::Generation;
using std::nullopt;

const QString kOk = QStringLiteral("\r\n\r\nOK\r\n");

// What a row expects the reply to tell.
struct CopsExpect {
    CopsState state;
    CopsReading reading;
    std::optional<QString> name;
    std::optional<QString> mcc;
    std::optional<QString> mnc;
    std::optional<QString> switchCommand; // also decides whether PCSQ runs
};

struct CopsRow {
    const char* name;
    QString reply;
    CopsState kept;
    CopsExpect expect;
};

const CopsState kAfterName{"Mobile Net", "2", Generation::G3, "0"};

const CopsExpect kUnchanged{kAfterName, CopsReading::Unreadable, nullopt, nullopt, nullopt,
                            nullopt};
const QString kToCode = QStringLiteral("AT+COPS=0,2");
const QString kToName = QStringLiteral("AT+COPS=0,0");

// A name cycle that names `op` on `generation` and asks for the code next.
CopsRow named(const char* name, const QString& reply, const QString& op, const char* field,
              Generation generation, const CopsState& kept = kAfterName, const char* format = "0")
{
    return {
        name,
        reply,
        kept,
        {{op, field, generation, format}, CopsReading::Operator, op, nullopt, nullopt, kToCode}};
}

// A name cycle with the given technology field, after a 3G name cycle.
CopsRow tech(const char* name, const char* field, Generation generation)
{
    return named(name, QStringLiteral("\r\n+COPS: 0,0,\"Mobile Net\",%1").arg(field) + kOk,
                 "Mobile Net", field, generation);
}

const QString kNet = QStringLiteral("Mobile Net");

// clang-format off
const CopsRow kRows[] = {
    named("NameCycle3GThenAsksForTheCode", "\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kNet,
          "2", Generation::G3, {}),
    {"CodeCycle2GGivesMccAndMnc", "\r\n+COPS: 0,2,\"00101\",0" + kOk, kAfterName,
     {{"00101", "0", Generation::G2, "2"}, CopsReading::Operator, nullopt, "001", "01", kToName}},
    named("NameWithSpacesIsTakenWhole", "\r\n+COPS: 0,0,\"T Mobile UK Ltd\",2" + kOk,
          "T Mobile UK Ltd", "2", Generation::G3, {}),
    named("NoTechnologyFieldKeepsTheGeneration", "\r\n+COPS: 0,0,\"Mobile Net\"" + kOk, kNet, "",
          Generation::G2, {"", "0", Generation::G2, "2"}),
    tech("Technology3EdgeIs2G", "3", Generation::G2),
    tech("Technology6HspaIs3G", "6", Generation::G3),
    tech("Technology7LteIs4G", "7", Generation::G4),
    tech("Technology10LteOn5GCoreIs4G", "10", Generation::G4),
    tech("Technology13IsReadWholeAs5GNot2G", "13", Generation::G5),
    tech("Technology8KeepsTheGeneration", "8", Generation::G3),
    named("EchoBeforeTheReplyDoesNotShiftTheFields",
          "AT+COPS?\r\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kNet, "2", Generation::G3, {}),
    named("BlankInAnEarlierLineDoesNotShiftTheFields",
          "\r\n^MODE: 5,4\r\n\r\n+COPS: 0,0,\"Mobile Net\",2" + kOk, kNet, "2", Generation::G3),
    named("QuotesInAnEarlierLineDoNotShiftTheOperator",
          "\r\n^HCSQ:\"LTE\",48,40,120,25\r\n+COPS: 0,0,\"Mobile Net\",7" + kOk, kNet, "7",
          Generation::G4),
    {"BootLineBeforeAThreeDigitMncCode",
     "\r\n^BOOT:20952211,0,0,0,72\r\n\r\n+COPS: 0,2,\"310260\",7" + kOk, kAfterName,
     {{"310260", "7", Generation::G4, "2"}, CopsReading::Operator, nullopt, "310", "260", kToName}},
    {"NoOperatorSendsNothing", "\r\n+COPS: 0" + kOk, kAfterName,
     {{"", "", Generation::G3, "\n"}, CopsReading::NoOperator, nullopt, nullopt, nullopt, nullopt}},
    named("ShortNameFormatIsReadAsAName", "\r\n+COPS: 0,1,\"TN\",2" + kOk, "TN", "2",
          Generation::G3, kAfterName, "1"),
    {"UnknownFormatDigitIsUnreadable", "\r\n+COPS: 0,3,\"MobNet\",2" + kOk, kAfterName,
     {{"MobNet", "2", Generation::G3, "3"}, CopsReading::Unreadable, nullopt, nullopt, nullopt,
      nullopt}},
    named("EmptyQuotesGiveAnEmptyOperator", "\r\n+COPS: 0,0,\"\",2" + kOk, "", "2", Generation::G3),
    named("LineCutAfterTheOpeningQuoteKeepsTheOperator", "\r\n+COPS: 0,0,\"Mob", kNet, "",
          Generation::G3),
    {"ErrorReplyChangesNothing", "\r\n+CME ERROR: 30\r\n", kAfterName, kUnchanged},
    {"LowerCaseTagIsNotAReply", "\r\n+cops: 0,0,\"Mobile Net\",2" + kOk, kAfterName, kUnchanged},
};
// clang-format on

TEST(CopsReply, TellsWhatTheStepsCut)
{
    for (const CopsRow& row : kRows) {
        SCOPED_TRACE(row.name);
        const at::CopsOutcome out = at::parseCopsReply(row.reply, row.kept);
        const CopsExpect& want = row.expect;

        // The state kept, then what the reply told.
        const auto fields = [](const CopsState& s, const auto& told) {
            return std::tuple(s.operatorText, s.accessTechnology, s.generation, s.formatChar,
                              told.reading, told.name, told.mcc, told.mnc, told.switchCommand);
        };
        EXPECT_EQ(fields(out.state, out), fields(want.state, want));
        EXPECT_EQ(out.runPcsq, want.switchCommand.has_value());
    }
}

} // namespace
