#pragma once

#include "kestrel/aiming/AimMeasure.h"

// The aiming tone's pitch for a value of the measure aimed by: 300 Hz at the weakest end of its
// scale (-113 dBm for the level, -140 dBm for RSRP, -20 dB for SINR) up to 1500 Hz at the
// strongest (-51 dBm, -44 dBm, +30 dB), on a musical scale, so that each step raises the pitch
// by the same interval (a level step of 2 dBm by about 0.9 of a semitone). Values beyond the
// ends take the end's pitch.
double tonePitchHz(AimMeasure measure, double value);

inline constexpr double kLowestPitchHz = 300;
inline constexpr double kHighestPitchHz = 1500;
