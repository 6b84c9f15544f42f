#include "kestrel/demo/DemoScript.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using namespace std::chrono_literals;
using modemsim::action::Rssi;

// A round of 10 s: a level at 0, 4 and 9 s.
DemoScript script()
{
    return DemoScript({{4s, QStringLiteral("b"), Rssi{2}},
                       {0s, QStringLiteral("a"), Rssi{1}},
                       {9s, QStringLiteral("c"), Rssi{3}}},
                      10s);
}

QString names(const std::vector<DemoStep>& steps)
{
    QString out;
    for (const DemoStep& step : steps)
        out += step.what;
    return out;
}

TEST(DemoScriptTest, StepsFallDueOnceEachAcrossRounds)
{
    const struct {
        const char* name;
        std::chrono::milliseconds from, to;
        QString due;
    } rows[] = {
        {"OpeningIsNotDueAgainAtTheStart", 0ms, 3999ms, ""},
        {"StepAtTheEndOfTheSpanIsDue", 0ms, 4s, "b"},
        {"StepAtTheStartOfTheSpanIsNot", 4s, 8s, ""},
        {"NextRoundOpensAgain", 8s, 10s, "ca"},
        {"SpanOverTwoRounds", 3s, 24s, "bcabcab"},
        {"BackwardSpan", 8s, 2s, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(names(script().due(row.from, row.to)), row.due);
    }
    EXPECT_EQ(names(script().opening()), QStringLiteral("a")) << "the opening stands at zero";
}

} // namespace
