#include "ini/IniReader.h"
#include "ini/IniWriter.h"
#include "ini/tests/IniTestSupport.h"

#include <gtest/gtest.h>

namespace
{

TEST(IniReader, ReadsEachKindOfLine)
{
    const struct {
        const char* shows;
        QByteArray file;
        QString read;
    } rows[] = {
        {"HeaderWithSpacesAround", "  [Value]  ", "[Value]"},
        {"EntryWithSpacesAround", "[s]\r\n  mcc=250  ", "[s]{mcc|250}"},
        {"IndentedComment", "[s]\r\n   ; note", "[s]"},
        {"SemicolonCutsKeepingSpace", "[s]\r\nx=1 ;note", "[s]{x|1 }"},
        {"SpacesAroundEqualsBelong", "[s]\r\na = b", "[s]{a | b}"},
        {"FirstEqualsSplits", "[s]\r\na=b=c", "[s]{a|b=c}"},
        {"EmptyBracketsSkipped", "[s]\r\n[]\r\nk=v", "[s]{k|v}"},
        {"UnclosedHeaderDropsItsEntries", "[abc\r\nk=v", ""},
        {"TextAfterHeaderIgnored", "[a]b", "[a]"},
        {"NestedBrackets", "[[a]]", "[[a]"},
        {"EmptyNameSkipped", "[s]\r\n=5", "[s]"},
        {"NoEqualsSkipped", "[s]\r\nabc", "[s]"},
        {"EmptyValue", "[s]\r\na=", "[s]{a|}"},
        {"TabBeforeHeaderIsNoHeader", "[s]\r\n\t[x]", "[s]"},
        {"TabsStay", "[s]\r\n\tk\t=\tv\t", "[s]{\tk\t|\tv\t}"},
        {"EntryBeforeFirstHeader", "k=v\r\n[s]", "[s]"},
        {"SemicolonInHeaderJoinsEntries", "[a]\r\n[b;c]\r\nk=v", "[a]{k|v}"},
        {"CaseDuplicatesKept", "[a]\r\nk=1\r\nK=2\r\n[A]", "[a]{k|1}{K|2}[A]"},
        {"LoneLfEndsLine", "[s]\nk=v\nj=w\n", "[s]{k|v}{j|w}"},
        {"LoneCrEndsLine", "[s]\rk=v\rj=w", "[s]{k|v}{j|w}"},
        {"LfCrIsTwoEnds", "[s]\r\nk=v\n\rj=w", "[s]{k|v}{j|w}"},
        {"ByteOrderMarkSkipped", "\xEF\xBB\xBF[s]\r\nk=v", "[s]{k|v}"},
        {"SecondByteOrderMarkKept", "\xEF\xBB\xBF\xEF\xBB\xBF[s]", ""},
        {"Utf8Text", "[Значение]\r\nоператор=МТС", "[Значение]{оператор|МТС}"},
        {"InvalidUtf8Replaced", "[s]\r\nk=a\xFF?", QStringLiteral("[s]{k|a\uFFFD?}")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(render(readIniDocument(row.file)), row.read);
    }
}

IniDocument inS(const QString& name, const QString& value)
{
    return {{{"s", {{name, value}}}}};
}

TEST(IniWriter, WriteThenReadLosesOnlyWhatTheFormatCannotHold)
{
    const struct {
        const char* shows;
        IniDocument written;
        QString read;
    } rows[] = {
        {"Survives",
         {{{"Значение", {{"k", "v"}, {"e", ""}, {"K", "2"}}}, {"Значение", {}}}},
         "[Значение]{k|v}{e|}{K|2}[Значение]"},
        {"SemicolonInValueCuts", inS("k", "a;b"), "[s]{k|a}"},
        {"TrailingSpacesOfValueLost", inS("k", "v  "), "[s]{k|v}"},
        {"LeadingSpacesOfNameLost", inS("  k", "v"), "[s]{k|v}"},
        {"EqualsInNameSplits", inS("a=b", "c"), "[s]{a|b=c}"},
        {"SemicolonInNameDropped", inS("a;b", "v"), "[s]"},
        {"BracketNameReadsAsHeader", inS("[x]y", "v"), "[s][x]"},
        {"EmptyEntryNameDropped", inS("", "v"), "[s]"},
        {"BracketInSectionNameCuts", {{{"a]b", {}}}}, "[a]"},
        {"SemicolonInSectionName", {{{"s", {{"k", "1"}}}, {"a;b", {{"j", "2"}}}}}, "[s]{k|1}{j|2}"},
        {"EmptySectionName", {{{"s", {{"k", "1"}}}, {"", {{"j", "2"}}}}}, "[s]{k|1}{j|2}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(render(readIniDocument(writeIniDocument(row.written))), row.read);
    }
}

} // namespace
