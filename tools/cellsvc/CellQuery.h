#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cellsvc
{

// The identity of one cell, as the locator asks for it.
struct CellKey {
    int mcc = 0;
    int mnc = 0;
    std::int64_t lac = 0;
    std::int64_t cellId = 0;

    friend bool operator==(const CellKey&, const CellKey&) = default;
};

// Largest values a key may take: three-digit country and network codes, a 32-bit area code
// (LAC or TAC) and a 36-bit cell identity (NR; UMTS long IDs and LTE ECIs are 28 bits).
constexpr int kMaxMcc = 999;
constexpr int kMaxMnc = 999;
constexpr std::int64_t kMaxLac = 0xFFFFFFFFLL;
constexpr std::int64_t kMaxCellId = 0xFFFFFFFFFLL;

// A query longer than this is refused before it is read; the locator's is under 100 bytes.
constexpr std::size_t kMaxQueryLength = 2048;

// Why a query could not be read. `code` is a short machine word for the reply's error element,
// `message` a sentence for a person.
struct QueryProblem {
    std::string code;
    std::string message;
};

struct QueryResult {
    std::optional<CellKey> key;
    QueryProblem problem; // meaningful only when key is empty
};

// Reads the query part of a lookup address (what follows "?"), as the locator sends it:
//
//   &cellid=314&operatorid=1&countrycode=250&lac=78
//
// Fields are separated by "&"; empty fields are skipped (the locator's query starts with one).
// Names and values may be percent-encoded. "cellid", "operatorid" (the MNC), "countrycode"
// (the MCC) and "lac" must each appear exactly once with a decimal value in range; other
// fields are ignored, whatever they hold. A pure function: no state, no locale.
QueryResult parseCellQuery(std::string_view query);

// Where to look for cells around a place, and whose.
struct NearQuery {
    double latitude = 0;  // -90 to 90
    double longitude = 0; // -180 to 180
    int mcc = 0;
    int mnc = 0;
    double radiusKm = 0; // kMinNearRadiusKm to kMaxNearRadiusKm

    friend bool operator==(const NearQuery&, const NearQuery&) = default;
};

constexpr double kMinNearRadiusKm = 1;
constexpr double kMaxNearRadiusKm = 50;

struct NearQueryResult {
    std::optional<NearQuery> query;
    QueryProblem problem; // meaningful only when query is empty
};

// Reads the query of a search around a place:
//
//   lat=55.7558&lon=37.6173&countrycode=250&operatorid=1&radius_km=5
//
// by the same rules as parseCellQuery, with the same problem codes. lat, lon and radius_km are
// plain decimal numbers: an optional minus sign, digits, and optionally a dot and more digits
// (no exponent, no "inf" or "nan"), within their ranges.
NearQueryResult parseNearQuery(std::string_view query);

} // namespace cellsvc
