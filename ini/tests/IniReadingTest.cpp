#include "ini/IniReader.h"
#include "ini/IniWriter.h"
#include "ini/tests/IniTestSupport.h"

#include <gtest/gtest.h>

namespace
{

struct LineCase {
    const char* name;
    QByteArray file;
    QString read;
};

void PrintTo(const LineCase& row, std::ostream* out)
{
    *out << row.name;
}

class IniLineReading : public testing::TestWithParam<LineCase>
{
};

TEST_P(IniLineReading, ReadsAsExpected)
{
    EXPECT_EQ(render(readIniDocument(GetParam().file)), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, IniLineReading,
    testing::Values(LineCase{"HeaderWithSpacesAround", "  [Value]  ", "[Value]"},
                    LineCase{"EntryWithSpacesAround", "[s]\r\n  mcc=250  ", "[s]{mcc|250}"},
                    LineCase{"IndentedComment", "[s]\r\n   ; note", "[s]"},
                    LineCase{"SemicolonCutsKeepingSpace", "[s]\r\nx=1 ;note", "[s]{x|1 }"},
                    LineCase{"SpacesAroundEqualsBelong", "[s]\r\na = b", "[s]{a | b}"},
                    LineCase{"FirstEqualsSplits", "[s]\r\na=b=c", "[s]{a|b=c}"},
                    LineCase{"EmptyBracketsSkipped", "[s]\r\n[]\r\nk=v", "[s]{k|v}"},
                    LineCase{"UnclosedHeaderDropsItsEntries", "[abc\r\nk=v", ""},
                    LineCase{"TextAfterHeaderIgnored", "[a]b", "[a]"},
                    LineCase{"NestedBrackets", "[[a]]", "[[a]"},
                    LineCase{"EmptyNameSkipped", "[s]\r\n=5", "[s]"},
                    LineCase{"NoEqualsSkipped", "[s]\r\nabc", "[s]"},
                    LineCase{"EmptyValue", "[s]\r\na=", "[s]{a|}"},
                    LineCase{"TabBeforeHeaderIsNoHeader", "[s]\r\n\t[x]", "[s]"},
                    LineCase{"TabsStay", "[s]\r\n\tk\t=\tv\t", "[s]{\tk\t|\tv\t}"},
                    LineCase{"EntryBeforeFirstHeader", "k=v\r\n[s]", "[s]"},
                    LineCase{"SemicolonInHeaderJoinsEntries", "[a]\r\n[b;c]\r\nk=v", "[a]{k|v}"},
                    LineCase{"CaseDuplicatesKept", "[a]\r\nk=1\r\nK=2\r\n[A]", "[a]{k|1}{K|2}[A]"},
                    LineCase{"LoneLfEndsLine", "[s]\nk=v\nj=w\n", "[s]{k|v}{j|w}"},
                    LineCase{"LoneCrEndsLine", "[s]\rk=v\rj=w", "[s]{k|v}{j|w}"},
                    LineCase{"LfCrIsTwoEnds", "[s]\r\nk=v\n\rj=w", "[s]{k|v}{j|w}"},
                    LineCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF[s]\r\nk=v", "[s]{k|v}"},
                    LineCase{"SecondByteOrderMarkKept", "\xEF\xBB\xBF\xEF\xBB\xBF[s]", ""},
                    LineCase{"Utf8Text", "[Значение]\r\nоператор=МТС", "[Значение]{оператор|МТС}"},
                    LineCase{"InvalidUtf8Replaced",
                             "[s]\r\nk=a\xFF"
                             "b",
                             QStringLiteral("[s]{k|a\uFFFDb}")}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundTripCase {
    const char* name;
    IniDocument written;
    QString read;
};

void PrintTo(const RoundTripCase& row, std::ostream* out)
{
    *out << row.name;
}

class IniRoundTrip : public testing::TestWithParam<RoundTripCase>
{
};

TEST_P(IniRoundTrip, ReadsBackWithKnownLosses)
{
    EXPECT_EQ(render(readIniDocument(writeIniDocument(GetParam().written))), GetParam().read);
}

IniDocument sectionS(const QString& name, const QString& value)
{
    return {{{"s", {{name, value}}}}};
}

INSTANTIATE_TEST_SUITE_P(
    Documents, IniRoundTrip,
    testing::Values(
        RoundTripCase{"Survives",
                      {{{"Значение", {{"k", "v"}, {"e", ""}, {"K", "2"}}}, {"Значение", {}}}},
                      "[Значение]{k|v}{e|}{K|2}[Значение]"},
        RoundTripCase{"SemicolonInValueCuts", sectionS("k", "a;b"), "[s]{k|a}"},
        RoundTripCase{"TrailingSpacesOfValueLost", sectionS("k", "v  "), "[s]{k|v}"},
        RoundTripCase{"LeadingSpacesOfNameLost", sectionS("  k", "v"), "[s]{k|v}"},
        RoundTripCase{"EqualsInNameSplits", sectionS("a=b", "c"), "[s]{a|b=c}"},
        RoundTripCase{"SemicolonInNameDropped", sectionS("a;b", "v"), "[s]"},
        RoundTripCase{"BracketNameReadsAsHeader", sectionS("[x]y", "v"), "[s][x]"},
        RoundTripCase{"BracketInSectionNameCuts", {{{"a]b", {}}}}, "[a]"},
        RoundTripCase{"SemicolonInSectionName",
                      {{{"s", {{"k", "1"}}}, {"a;b", {{"j", "2"}}}}},
                      "[s]{k|1}{j|2}"},
        RoundTripCase{
            "EmptySectionName", {{{"s", {{"k", "1"}}}, {"", {{"j", "2"}}}}}, "[s]{k|1}{j|2}"},
        RoundTripCase{"EmptyEntryName", sectionS("", "v"), "[s]"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
