#pragma once

#include <QStringList>

// The level bar's range as the main window's design sets it (Form1 uses these); a cleared
// reading sets the bar to 0 and the strongest signal index sets it to 31, both outside the
// range.
constexpr int LevelBarMinimum = 1;
constexpr int LevelBarMaximum = 30;
constexpr int LowestBarValue = 0;
constexpr int HighestBarValue = 31;

// The signal indexes that give a level in dBm (index 99, no reading, clears the level).
constexpr int LowestSignalIndex = 0;
constexpr int HighestSignalIndex = 31;

// Every number the monitor can ask to hear, found by running the voice's own choice of number
// over every level and every bar value the monitor can hold, with the bar's own percentage
// rule; sorted, each once, without the empty number of a cleared reading. One recording
// "<number>.MP3" is needed for each.
QStringList spokenNumbers();
