#include "kestrel/at/Conversions.h"

#include "kestrel/at/tests/QtPrinters.h"

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
        std::optional<QString> decimal;
    } rows[] = {
        {"cell with leading zeros", "00C3D4E5", "12834021"},
        {"LAC FFFE", "FFFE", "65534"},
        {"top bit set is not negative", "8000000A", "2147483658"},
        {"all eight digits set", "FFFFFFFF", "4294967295"},
        {"one digit", "0", "0"},
        {"mixed case", "fFfE", "65534"},
        {"digit ends", "09afAF", "634799"},
        {"nine digits", "100C3D4E5", nullopt},
        {"empty", "", nullopt},
        {"quoted", "\"1A2B\"", nullopt},
        {"leading blank", " 1A2B", nullopt},
        {"trailing carriage return", "1A2B\r", nullopt},
        {"signed", "-1A", nullopt},
        {"letters next to the range", "1G", nullopt},
        {"letters next to the range", "@", nullopt},
        {"letters next to the range", "`", nullopt},
        {"letters next to the range", "g", nullopt},
        {"signs next to the digits", "/", nullopt},
        {"signs next to the digits", ":", nullopt},
        {"full-width digit", QString::fromUtf8("\xEF\xBC\x91"), nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(at::hexToDecimalText(row.field), row.decimal);
    }
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

TEST(PercentCaption, BeginsWithTwoBlanksAndRoundsHalfToEven)
{
    EXPECT_EQ(at::percentCaption(2.5), QStringLiteral("  2%"));
    EXPECT_EQ(at::percentCaption(65.517), QStringLiteral("  66%"));
}

TEST(StrengthIndex, OnlyDecimalDigitsAreANumber)
{
    EXPECT_EQ(at::readStrengthIndex("07"), 7);
    EXPECT_EQ(at::readStrengthIndex("123456789012345678901234567890"), 9999) << "held, no overflow";
    EXPECT_EQ(at::readStrengthIndex(" 20"), nullopt);
    EXPECT_EQ(at::readStrengthIndex(""), nullopt);
}

} // namespace
