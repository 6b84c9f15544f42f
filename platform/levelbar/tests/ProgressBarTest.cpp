#include "platform/levelbar/ProgressBar.h"

#include "tests/support/TestApp.h"

#include <QImage>
#include <gtest/gtest.h>

namespace
{

TEST(LevelPercentage, FollowsValueWithinRangeAndClampsOutside)
{
    const struct {
        int value, min, max;
        double expected;
    } rows[] = {
        {1, 1, 30, 0.0},  {30, 1, 30, 100.0}, {15, 1, 30, 1400.0 / 29.0},
        {0, 1, 30, 0.0},  {31, 1, 30, 100.0}, // a cleared reading, full strength
        {4, 5, 5, 0.0},   {5, 5, 5, 100.0},   // an empty range
        {3, 9, 2, 100.0},                     // an inverted range divides by no zero
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(levelPercentage(row.value, row.min, row.max), row.expected)
            << row.value << " in " << row.min << ".." << row.max;
}

// Red (left) to blue (the whole bar's right edge) over black, without a frame: the bar is
// filled up to the percentage and the gradient spans the whole width, not the filled part.
TEST(ProgressBar, FillsUpToThePercentageWithTheWholeBarsGradient)
{
    WidgetApp app;
    ProgressBar bar;
    bar.resize(100, 10);
    bar.setMin(1);
    bar.setMax(30);
    bar.setBackColor(Qt::black);
    bar.setBarColorStart(QColor(255, 0, 0));
    bar.setBarColorEnd(QColor(0, 0, 255));
    const struct {
        int value;
        QPoint pixel;
        QColor expected;
    } rows[] = {
        {15, {0, 0}, QColor(255, 0, 0)},    // 48.3 %: the corner is bar, not frame
        {15, {47, 5}, QColor(134, 0, 121)}, // the gradient's colour there, not the end colour
        {15, {49, 5}, Qt::black},
        {31, {99, 9}, QColor(0, 0, 255)}, // full strength, above the range
    };
    for (const auto& row : rows) {
        bar.setValue(row.value);
        const QColor drawn = bar.grab().toImage().pixelColor(row.pixel);
        for (const auto channel : {&QColor::red, &QColor::green, &QColor::blue})
            EXPECT_NEAR((drawn.*channel)(), (row.expected.*channel)(), 16)
                << row.value << " at " << row.pixel.x() << ", " << drawn.name().toStdString();
    }
}

} // namespace
