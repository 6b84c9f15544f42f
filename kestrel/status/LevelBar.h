#pragma once

#include "platform/levelbar/LevelPercentage.h"

// The level bar's range as the main window sets it. A cleared reading sets the bar to 0 and the
// strongest signal index sets it to 31, both outside the range.
constexpr int LevelBarMinimum = 1;
constexpr int LevelBarMaximum = 30;
constexpr int LowestBarValue = 0;
constexpr int HighestBarValue = 31;
// The bar's value before the first reading.
constexpr int LevelBarStartValue = 1;

// The percentage the level bar reports for `value`.
inline double levelBarPercentage(int value)
{
    return levelPercentage(value, LevelBarMinimum, LevelBarMaximum);
}
