#pragma once

#include "kestrel/status/LevelBar.h"

#include <QStringList>

// The signal indexes that give a level in dBm (index 99, no reading, clears the level).
constexpr int LowestSignalIndex = 0;
constexpr int HighestSignalIndex = 31;

// Every number the monitor can ask to hear, found by running the voice's own choice of number
// over every level and every bar value the monitor can hold, with the bar's own percentage
// rule; sorted, each once, without the empty number of a cleared reading. One recording
// "<number>.MP3" is needed for each.
QStringList spokenNumbers();
