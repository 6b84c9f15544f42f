#include "kestrel/at/Conversions.h"

#include "tests/support/TextPrinter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{

using std::nullopt;

TEST(HexToDecimal, ReadsOneToEightHexDigitsUnsigned)
{
    const struct {
        const char* name;
        QString field;
        QString decimal;
    } rows[] = {
        {"cell with leading zeros", "00C3D4E5", "12834021"},
        {"top bit set is not negative", "8000000A", "2147483658"},
        {"all eight digits set", "FFFFFFFF", "4294967295"},
        {"one digit", "0", "0"},
        {"mixed case", "fFfE", "65534"},
        {"digit ends", "09afAF", "634799"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(at::hexToDecimalText(row.field), row.decimal);
    }
    // Nine digits, signs and blanks, and the characters either side of each digit range.
    for (const char* field : {"100C3D4E5", "", "\"1A2B\"", " 1A2B", "1A2B\r", "-1A", "1G", "@", "`",
                              "g", "/", ":", "\xEF\xBC\x91" /* full-width 1 */})
        EXPECT_EQ(at::hexToDecimalText(field), nullopt) << field;
}

TEST(RoundHalfToEven, GoesToTheEvenNeighbourOnAHalf)
{
    const struct {
        double value;
        int rounded;
    } rows[] = {
        {0.5, 0},       {1.5, 2},   {2.5, 2},          {2.5000001, 3},
        {3.4999999, 3}, {-1.5, -2}, {std::nan(""), 0}, {1e300, std::numeric_limits<int>::max()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(at::roundHalfToEven(row.value), row.rounded);
    }
}

TEST(StrengthIndex, OnlyDecimalDigitsAreANumber)
{
    EXPECT_EQ(at::readStrengthIndex("07"), 7);
    EXPECT_EQ(at::readStrengthIndex("123456789012345678901234567890"), 9999) << "held, no overflow";
    EXPECT_EQ(at::readStrengthIndex(" 20"), nullopt);
    EXPECT_EQ(at::readStrengthIndex(""), nullopt);
}

} // namespace
