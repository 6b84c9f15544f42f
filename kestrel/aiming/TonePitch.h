#pragma once

#include <optional>

// The aiming tone's pitch for a level: 300 Hz at -113 dBm (the weakest level the modem
// reports) up to 1500 Hz at -51 dBm (the strongest), on a musical scale, so that each step of
// 2 dBm raises the pitch by the same interval (about 0.9 of a semitone). Levels beyond the
// ends take the end's pitch.
double tonePitchHz(int levelDbm);

inline constexpr double kLowestPitchHz = 300;
inline constexpr double kHighestPitchHz = 1500;
