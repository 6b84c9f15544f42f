#pragma once

#include <QString>
#include <optional>

// Number conversions of the reply steps, and the text form of the level.
namespace at
{

// The value of `LevelDbm`: the level in dBm (-113 + 2 x strength index), or nullopt once a
// reading was cleared.
using DbmLevel = std::optional<int>;

// The level in dBm a strength index stands for: -113 + 2 x index (31 is -51 dBm).
constexpr int levelOfStrengthIndex(int index)
{
    return -113 + 2 * index;
}

// `LevelDbm` as text: the plain decimal number with its minus sign ("-73"), or empty text when
// the reading is cleared. The voice announcement and the full-screen view read this form.
QString levelDbmText(DbmLevel level);

// Rounds to the nearest whole number, a half to the even neighbour (2.5 -> 2, 3.5 -> 4). Not a
// number gives 0; values beyond the range of int are held at its ends.
int roundHalfToEven(double value);

// A location field as the registration report gives it: one to eight hexadecimal digits in
// either case, read unsigned and written in decimal ("FFFE" -> "65534", "8000000A" ->
// "2147483658"). Anything else (empty, longer, quotes, blanks, signs) is no such number.
std::optional<QString> hexToDecimalText(const QString& hex);

// The strength index of a signal report: a non-empty run of decimal digits. Anything else is
// no number (nullopt). Values too large for any real index are held at 9999, which still maps
// to a level above 0 dBm, i.e. no reading.
std::optional<int> readStrengthIndex(const QString& text);

} // namespace at
