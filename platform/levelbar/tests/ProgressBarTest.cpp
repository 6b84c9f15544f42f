#include "platform/levelbar/ProgressBar.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace
{

struct PercentRow {
    const char* name;
    int value;
    int min;
    int max;
    double expected;
};

class LevelPercentageTest : public testing::TestWithParam<PercentRow>
{
};

TEST_P(LevelPercentageTest, FollowsValueWithinRange)
{
    const auto& row = GetParam();
    EXPECT_DOUBLE_EQ(levelPercentage(row.value, row.min, row.max), row.expected);
}

const PercentRow percentRows[] = {
    {"AtMinimumIsZero", 1, 1, 30, 0.0},
    {"AtMaximumIsHundred", 30, 1, 30, 100.0},
    {"ClearedReadingBelowRangeClampsToZero", 0, 1, 30, 0.0},
    {"FullStrengthAboveRangeClampsToHundred", 31, 1, 30, 100.0},
    {"MiddleIndex", 15, 1, 30, 1400.0 / 29.0},
    {"EmptyRangeBelow", 4, 5, 5, 0.0},
    {"EmptyRangeReached", 5, 5, 5, 100.0},
    {"InvertedRangeDoesNotDivideByZero", 3, 9, 2, 100.0},
};

INSTANTIATE_TEST_SUITE_P(Rows, LevelPercentageTest, testing::ValuesIn(percentRows),
                         [](const auto& info) { return std::string(info.param.name); });

class ProgressBarDrawing : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test";
            static char* argv[] = {name, nullptr};
            static QApplication app(argc, argv);
        }
    }

    ProgressBarDrawing()
    {
        bar.resize(100, 10);
        bar.setMin(1);
        bar.setMax(30);
        bar.setBackColor(Qt::black);
        bar.setBarColorStart(QColor(255, 0, 0));
        bar.setBarColorEnd(QColor(0, 0, 255));
    }

    QImage drawn() { return bar.grab().toImage(); }

    ProgressBar bar;
};

TEST_F(ProgressBarDrawing, FillsUpToThePercentageWithoutBorder)
{
    bar.setValue(15); // 48.3 %
    const QImage image = drawn();
    EXPECT_GT(image.pixelColor(0, 0).red(), 240); // the bar reaches the corner: no frame
    EXPECT_GT(image.pixelColor(47, 5).red(), 100);
    EXPECT_EQ(image.pixelColor(49, 5).name(), QStringLiteral("#000000"));
    EXPECT_EQ(image.pixelColor(99, 9).name(), QStringLiteral("#000000"));
}

TEST_F(ProgressBarDrawing, AFullBarRunsFromStartToEndColour)
{
    bar.setValue(31);
    const QImage image = drawn();
    const QColor left = image.pixelColor(0, 5);
    const QColor right = image.pixelColor(99, 5);
    EXPECT_GT(left.red(), 240);
    EXPECT_LT(left.blue(), 15);
    EXPECT_GT(right.blue(), 240);
    EXPECT_LT(right.red(), 15);
}

TEST_F(ProgressBarDrawing, AClearedReadingShowsOnlyTheBackground)
{
    bar.setValue(0);
    const QImage image = drawn();
    EXPECT_EQ(image.pixelColor(0, 5).name(), QStringLiteral("#000000"));
    EXPECT_EQ(bar.Value(), 0);
}

} // namespace
