#pragma once

#include <algorithm>

// Where `value` stands within [min, max], in percent, kept within 0 and 100. A range without
// width counts as full once the value reaches it. The level bar draws by this rule, and
// whatever reports the bar's percentage without a bar at hand uses it too.
inline double levelPercentage(int value, int min, int max)
{
    if (max <= min) {
        return value >= max ? 100.0 : 0.0;
    }
    const double percent =
        100.0 * (static_cast<double>(value) - min) / (static_cast<double>(max) - min);
    return std::clamp(percent, 0.0, 100.0);
}
