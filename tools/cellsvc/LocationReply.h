#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// A cell found around a place: where it lies, and how far and in which direction from there.
struct NearCell {
    std::string radio; // as the export names it: GSM, UMTS, LTE, CDMA, NR
    std::int64_t lac = 0;
    std::int64_t cellId = 0;
    CellLocation location;
    double distanceKm = 0;
    double bearingDeg = 0; // from true north, clockwise, 0 <= bearing < 360
};

// <?xml version="1.0" encoding="UTF-8"?><cells><cell radio="LTE" lac="78" cellid="314"
// latitude="55.75580" longitude="37.61730" range="1200" samples="14" distance_km="0.000"
// bearing_deg="0.0"/>...</cells>, in the order given: metres in the distance, a tenth of a
// degree in the bearing, which is what a compass rose can show.
std::string cellsXml(const std::vector<NearCell>& cells);

// <?xml version="1.0" encoding="UTF-8"?><error code="missingKey">the key lac ...</error>
// The locator recognises a failure by the word "error" in the reply.
std::string errorXml(std::string_view code, std::string_view message);

// Decimal degrees with five decimals (about a metre), never "-0.00000".
std::string formatDegrees(double degrees);

} // namespace cellsvc
