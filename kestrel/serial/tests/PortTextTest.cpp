#include "kestrel/serial/PortText.h"

#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for texts.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace
{

template <typename T> struct Row {
    const char* name;
    const char* text;
    std::optional<T> expected;
};

std::string rowName(const char* name)
{
    return name;
}

using CutRow = Row<QString>;

class PortCutRuleTest : public testing::TestWithParam<CutRow>
{
};

TEST_P(PortCutRuleTest, CutsThePortText)
{
    EXPECT_EQ(cutPortText(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

const CutRow cutRows[] = {
    {"OneDigit", "HUAWEI Mobile Connect - 3G PC UI Interface (USB2)", QStringLiteral("2")},
    {"TwoDigits", "HUAWEI Mobile Connect - 3G PC UI Interface (USB12)", QStringLiteral("12")},
    {"WindowsPortName", "HUAWEI Mobile Connect - 3G PC UI Interface (COM3)", QStringLiteral("3")},
    {"AnyLength", "Modem (USB123456)", QStringLiteral("123456")},
    {"NoParentheses", "HUAWEI Mobile Connect", std::nullopt},
    {"OpeningOnly", "HUAWEI (USB2", std::nullopt},
    {"CloseTooNear", "HUAWEI (US)", std::nullopt},
    {"CloseExactlyFourOnIsEmpty", "HUAWEI (USB)", QStringLiteral("")},
    {"CloseBeforeOpen", "HU) (USB2)", std::nullopt},
    {"FirstPairCounts", "HUAWEI (x) (USB3)", std::nullopt},
    {"ClosingOnlyFromTheStart", "HUAWEI USB7)", QStringLiteral("WEI USB7")},
};

INSTANTIATE_TEST_SUITE_P(Rows, PortCutRuleTest, testing::ValuesIn(cutRows),
                         [](const auto& info) { return rowName(info.param.name); });

class PortBoxTextTest : public testing::TestWithParam<CutRow>
{
};

TEST_P(PortBoxTextTest, TakesCaptionsCutAndOtherTextWhole)
{
    EXPECT_EQ(portTextFromBoxText(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

const CutRow boxRows[] = {
    {"PickedNumber", "5", QStringLiteral("5")},
    {"ModemCaption", "HUAWEI Mobile Connect - 3G PC UI Interface (USB2)", QStringLiteral("2")},
    {"SmallLettersTakenWhole", "hu", QStringLiteral("hu")},
    {"CaptionWithoutHuTakenWhole", "Modem (USB4)", QStringLiteral("Modem (USB4)")},
    {"HuThatCannotBeCut", "HUAWEI", std::nullopt},
    {"Empty", "", QStringLiteral("")},
};

INSTANTIATE_TEST_SUITE_P(Rows, PortBoxTextTest, testing::ValuesIn(boxRows),
                         [](const auto& info) { return rowName(info.param.name); });

using NumberRow = Row<qint16>;

class PortNumberTest : public testing::TestWithParam<NumberRow>
{
};

TEST_P(PortNumberTest, ConvertsWholeNumbersOnly)
{
    EXPECT_EQ(portNumberFromText(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

const NumberRow numberRows[] = {
    {"Digit", "5", 5},
    {"BlanksAround", " 12 ", 12},
    {"LeadingZero", "07", 7},
    {"Plus", "+4", 4},
    {"Negative", "-1", -1},
    {"LargestSixteenBit", "32767", 32767},
    {"BeyondSixteenBit", "32768", std::nullopt},
    {"Letters", "hu", std::nullopt},
    {"Empty", "", std::nullopt},
    {"Fraction", "3.5", std::nullopt},
    {"TrailingLetters", "12abc", std::nullopt},
    {"SignAlone", "-", std::nullopt},
    {"InnerBlank", "1 2", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Rows, PortNumberTest, testing::ValuesIn(numberRows),
                         [](const auto& info) { return rowName(info.param.name); });

} // namespace
