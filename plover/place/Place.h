#pragma once

#include <QString>
#include <optional>

namespace place
{

// Where the user stands, in decimal degrees.
struct Place {
    double latitude = 0;
    double longitude = 0;
    bool operator==(const Place&) const = default;
};

// The place the user typed or pasted: "55.7558, 37.6173" (latitude first; a comma, a semicolon
// or blanks between), or a web map's address that holds "ll=<longitude>,<latitude>" as the
// addresses the locator opens write it. None for anything else, and for a latitude beyond ±90,
// a longitude beyond ±180 or a number that is not finite.
std::optional<Place> readPlace(const QString& text);

// "55.75580, 37.61730": how the window shows a place, and what readPlace reads back.
QString placeText(const Place& place);

// The place remembered from an earlier run (the locator's settings), and remembering one; none
// forgets it.
std::optional<Place> rememberedPlace();
void rememberPlace(const std::optional<Place>& place);

} // namespace place
