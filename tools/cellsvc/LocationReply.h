#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cellsvc
{

// Where the database places a cell: the average of the positions at which it was observed,
// not the tower's own site.
struct CellLocation {
    double latitude = 0;
    double longitude = 0;
    std::int64_t range = 0;   // metres around the position within which it was observed
    std::int64_t samples = 0; // observations that went into the average
};

// <?xml version="1.0" encoding="UTF-8"?><location source="cell"><coordinates
// latitude="55.75580" longitude="37.61730" range="1200" samples="14"/></location>
//
// The locator takes the first two quoted values after "coordinates", so latitude comes first,
// longitude second, each with a decimal dot whatever the locale.
std::string locationXml(const CellLocation& location);

// <?xml version="1.0" encoding="UTF-8"?><error code="missingKey">the key lac ...</error>
// The locator recognises a failure by the word "error" in the reply.
std::string errorXml(std::string_view code, std::string_view message);

// Decimal degrees with five decimals (about a metre), never "-0.00000".
std::string formatDegrees(double degrees);

} // namespace cellsvc
