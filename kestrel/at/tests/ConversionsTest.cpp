#include "kestrel/at/Conversions.h"

#include "kestrel/at/tests/QtPrinters.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{

struct HexRow {
    const char* name;
    QString field;
    std::optional<QString> decimal;
};

class HexToDecimal : public testing::TestWithParam<HexRow>
{
};

TEST_P(HexToDecimal, ReadsOneToEightHexDigitsUnsigned)
{
    EXPECT_EQ(at::hexToDecimalText(GetParam().field), GetParam().decimal);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, HexToDecimal,
    testing::Values(HexRow{"WorkedLac", "1A2B", QStringLiteral("6699")},
                    HexRow{"WorkedCellWithLeadingZeros", "00C3D4E5", QStringLiteral("12834021")},
                    HexRow{"LacFFFE", "FFFE", QStringLiteral("65534")},
                    HexRow{"CellTopBitSetIsNotNegative", "8000000A", QStringLiteral("2147483658")},
                    HexRow{"AllEightDigitsSet", "FFFFFFFF", QStringLiteral("4294967295")},
                    HexRow{"OneDigit", "0", QStringLiteral("0")},
                    HexRow{"LowerCase", "00c3d4e5", QStringLiteral("12834021")},
                    HexRow{"MixedCase", "fFfE", QStringLiteral("65534")},
                    HexRow{"NineDigits", "100C3D4E5", std::nullopt},
                    HexRow{"Empty", "", std::nullopt}, HexRow{"Quoted", "\"1A2B\"", std::nullopt},
                    HexRow{"LeadingBlank", " 1A2B", std::nullopt},
                    HexRow{"TrailingCarriageReturn", "1A2B\r", std::nullopt},
                    HexRow{"Signed", "-1A", std::nullopt},
                    HexRow{"HexPrefix", "0x1A", std::nullopt},
                    HexRow{"LetterPastF", "1G", std::nullopt},
                    HexRow{"FullWidthDigit", QString::fromUtf8("\xEF\xBC\x91"), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundRow {
    const char* name;
    double value;
    int rounded;
};

class RoundHalfToEven : public testing::TestWithParam<RoundRow>
{
};

TEST_P(RoundHalfToEven, GoesToTheEvenNeighbourOnAHalf)
{
    EXPECT_EQ(at::roundHalfToEven(GetParam().value), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RoundHalfToEven,
    testing::Values(RoundRow{"HalfBelowOneGoesDown", 0.5, 0}, RoundRow{"OneAndAHalfGoesUp", 1.5, 2},
                    RoundRow{"TwoAndAHalfGoesDown", 2.5, 2},
                    RoundRow{"FiftyAndAHalfGoesDown", 50.5, 50},
                    RoundRow{"JustAboveAHalfGoesUp", 2.5000001, 3},
                    RoundRow{"JustBelowAHalfGoesDown", 3.4999999, 3},
                    RoundRow{"BarAtTwentyOfOneToThirty", (20.0 - 1.0) / 29.0 * 100.0, 66},
                    RoundRow{"NegativeHalfGoesToZero", -0.5, 0},
                    RoundRow{"NegativeOneAndAHalf", -1.5, -2}, RoundRow{"Hundred", 100.0, 100},
                    RoundRow{"NotANumber", std::nan(""), 0},
                    RoundRow{"BeyondInt", 1e300, std::numeric_limits<int>::max()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Captions, DbmAndPercentCaptionsBeginWithTwoBlanks)
{
    EXPECT_EQ(at::dbmCaption(-73), QStringLiteral("  -73db"));
    EXPECT_EQ(at::dbmCaption(-113), QStringLiteral("  -113db"));
    EXPECT_EQ(at::percentCaption(2.5), QStringLiteral("  2%"));
    EXPECT_EQ(at::percentCaption(0.0), QStringLiteral("  0%"));
}

TEST(Captions, LevelDbmTextIsEmptyOnceCleared)
{
    EXPECT_EQ(at::levelDbmText(-51), QStringLiteral("-51"));
    EXPECT_EQ(at::levelDbmText(std::nullopt), QString());
}

struct IndexRow {
    const char* name;
    QString text;
    std::optional<int> index;
};

class StrengthIndex : public testing::TestWithParam<IndexRow>
{
};

TEST_P(StrengthIndex, OnlyDecimalDigitsAreANumber)
{
    EXPECT_EQ(at::readStrengthIndex(GetParam().text), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrengthIndex,
    testing::Values(IndexRow{"Zero", "0", 0}, IndexRow{"Twenty", "20", 20},
                    IndexRow{"NoReading", "99", 99}, IndexRow{"LeadingZero", "07", 7},
                    IndexRow{"HugeIsHeldAboveAnyLevel", "123456789012345678901234567890", 9999},
                    IndexRow{"Empty", "", std::nullopt}, IndexRow{"Letters", "xx", std::nullopt},
                    IndexRow{"Negative", "-5", std::nullopt},
                    IndexRow{"Blank", " 20", std::nullopt},
                    IndexRow{"LinesOfAnotherReply", "1\r\n\r\n+CSQ: 20", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
