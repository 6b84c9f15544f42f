#include "kestrel/at/Conversions.h"

#include "kestrel/at/tests/QtPrinters.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{

using std::nullopt;

struct HexRow {
    const char* name;
    QString field;
    std::optional<QString> decimal;
};

void PrintTo(const HexRow& row, std::ostream* os)
{
    *os << row.name;
}

class HexToDecimal : public testing::TestWithParam<HexRow>
{
};

TEST_P(HexToDecimal, ReadsOneToEightHexDigitsUnsigned)
{
    EXPECT_EQ(at::hexToDecimalText(GetParam().field), GetParam().decimal);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fields, HexToDecimal, testing::Values(
    HexRow{"CellWithLeadingZeros", "00C3D4E5", "12834021"},
    HexRow{"LacFFFE", "FFFE", "65534"},
    HexRow{"CellTopBitSetIsNotNegative", "8000000A", "2147483658"},
    HexRow{"AllEightDigitsSet", "FFFFFFFF", "4294967295"},
    HexRow{"OneDigit", "0", "0"},
    HexRow{"MixedCase", "fFfE", "65534"},
    HexRow{"NineDigits", "100C3D4E5", nullopt},
    HexRow{"Empty", "", nullopt},
    HexRow{"Quoted", "\"1A2B\"", nullopt},
    HexRow{"LeadingBlank", " 1A2B", nullopt},
    HexRow{"TrailingCarriageReturn", "1A2B\r", nullopt},
    HexRow{"Signed", "-1A", nullopt},
    HexRow{"LetterPastF", "1G", nullopt},
    HexRow{"FullWidthDigit", QString::fromUtf8("\xEF\xBC\x91"), nullopt}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

struct RoundRow {
    const char* name;
    double value;
    int rounded;
};

void PrintTo(const RoundRow& row, std::ostream* os)
{
    *os << row.name;
}

class RoundHalfToEven : public testing::TestWithParam<RoundRow>
{
};

TEST_P(RoundHalfToEven, GoesToTheEvenNeighbourOnAHalf)
{
    EXPECT_EQ(at::roundHalfToEven(GetParam().value), GetParam().rounded);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, RoundHalfToEven, testing::Values(
    RoundRow{"HalfBelowOneGoesDown", 0.5, 0},
    RoundRow{"OneAndAHalfGoesUp", 1.5, 2},
    RoundRow{"TwoAndAHalfGoesDown", 2.5, 2},
    RoundRow{"JustAboveAHalfGoesUp", 2.5000001, 3},
    RoundRow{"JustBelowAHalfGoesDown", 3.4999999, 3},
    RoundRow{"NegativeOneAndAHalf", -1.5, -2},
    RoundRow{"NotANumber", std::nan(""), 0},
    RoundRow{"BeyondInt", 1e300, std::numeric_limits<int>::max()}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

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
