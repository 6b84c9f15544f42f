#include "textcuts/TextCuts.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using std::nullopt;

TEST(Position, FirstOccurrenceAtOrAfterTheStartCountedFromOne)
{
    const struct {
        const char* shows;
        QString text;
        QString what;
        int from;
        int found;
    } rows[] = {
        {"the first of two", "a,b,c", ",", 1, 2},
        {"at the start itself", "a,b,c", ",", 2, 2},
        {"after the start", "a,b,c", ",", 3, 4},
        {"a longer text", "^BOOT:1\r\n+CSQ: 20,99\r\n", "+CSQ:", 1, 10},
        {"the last character", "a,b,", ",", 4, 4},
        {"none", "a,b,c", ";", 1, 0},
        {"case matters", "Error", "error", 1, 0},
        {"a start one past the end", "a,b,", ",", 5, 0},
        {"0 after a miss starts at the top", ",a,b", ",", 0, 1},
        {"a negative start is the top, not the tail", "a,b,c", ",", -1, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(textcuts::position(row.text, row.what, row.from), row.found);
    }
    EXPECT_EQ(textcuts::position(",a", ","), 1) << "from the top by default";
}

TEST(Cut, TheCharactersFromAPositionOrNoneWhenTheCutCannotBeMade)
{
    const struct {
        const char* shows;
        QString text;
        int start;
        int length;
        std::optional<QString> cut;
    } rows[] = {
        {"inside", "25001", 4, 2, "01"},
        {"from the top", "25001", 1, 3, "250"},
        {"fewer at the end", "25001", 4, 9, "01"},
        {"no characters", "25001", 2, 0, ""},
        {"a start one past the end", "25001", 6, 1, ""},
        {"a start of 0", "25001", 0, 3, nullopt},
        {"a negative length", "\"MTS\"", 2, -2, nullopt},
        {"a negative length past the end", "\"MTS", 5, -5, nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(textcuts::cut(row.text, row.start, row.length), row.cut);
    }
}

} // namespace
