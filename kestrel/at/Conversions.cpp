#include "kestrel/at/Conversions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace at
{

QString levelDbmText(DbmLevel level)
{
    return level ? QString::number(*level) : QString();
}

int roundHalfToEven(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (value <= lowest) {
        return std::numeric_limits<int>::min();
    }
    if (value >= highest) {
        return std::numeric_limits<int>::max();
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        rounded = below + 1.0;
    }
    return static_cast<int>(rounded);
}

namespace
{

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return -1;
}

} // namespace

std::optional<QString> hexToDecimalText(const QString& hex)
{
    if (hex.isEmpty() || hex.size() > 8) {
        return std::nullopt;
    }
    quint32 value = 0;
    for (const QChar c : hex) {
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<quint32>(digit);
    }
    return QString::number(value);
}

std::optional<int> readStrengthIndex(const QString& text)
{
    if (text.isEmpty()) {
        return std::nullopt;
    }
    constexpr int heldAt = 9999;
    int value = 0;
    for (const QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c.unicode() - u'0'), heldAt);
    }
    return value;
}

} // namespace at
