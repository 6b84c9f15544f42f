#pragma once

#include <QString>
#include <array>
#include <optional>

// What the aiming aids follow: the level of "+CSQ" (every stick), or a 4G stick's reference
// signal power or signal-to-noise ratio, by which people aim on LTE.
enum class AimMeasure { Level, Rsrp, Sinr };

inline constexpr std::array<AimMeasure, 3> kAimMeasures{AimMeasure::Level, AimMeasure::Rsrp,
                                                        AimMeasure::Sinr};

// The span the tone and the trace map a measure onto, its unit and grid.
struct AimScale {
    double weakest;
    double strongest;
    const char* unit;
    double gridStep;
    int decimals; // shown with the value
};

inline AimScale aimScale(AimMeasure measure)
{
    switch (measure) {
    case AimMeasure::Rsrp:
        return {-140, -44, "dBm", 20, 0};
    case AimMeasure::Sinr:
        return {-20, 30, "dB", 10, 1};
    case AimMeasure::Level:
        break;
    }
    return {-113, -51, "dBm", 10, 0};
}

// "Level (CSQ)", "RSRP", "SINR": the entries of the context menu's "Aim by".
inline QString aimMeasureName(AimMeasure measure)
{
    switch (measure) {
    case AimMeasure::Rsrp:
        return QStringLiteral("RSRP");
    case AimMeasure::Sinr:
        return QStringLiteral("SINR");
    case AimMeasure::Level:
        break;
    }
    return QStringLiteral("Level (CSQ)");
}

// "-61 dBm", "16.0 dB": a value with its unit.
inline QString aimValueText(AimMeasure measure, double value)
{
    const AimScale scale = aimScale(measure);
    return QString::number(value, 'f', scale.decimals) + u' ' + QLatin1String(scale.unit);
}
