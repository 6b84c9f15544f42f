#pragma once

#include "tools/cellsvc/CellQuery.h"
#include "tools/cellsvc/LocationReply.h"

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cellsvc
{

// The path the locator asks at; every other path, "/cellid_location" too, is unknown.
constexpr std::string_view kLookupPath = "/cellid_location/";
// The cells of one network around a place, nearest first, for a compass rose.
constexpr std::string_view kNearPath = "/cells_near/";
// Enough for a rose of a town's cells; a larger reply would only be slower to draw.
constexpr std::size_t kMaxNearCells = 200;

struct HttpReply {
    int status = 200;
    std::string body; // an XML document
};

// Turns one request into its reply, with no knowledge of sockets: the server hands in the
// method and the request target as it came on the request line.
class CellService
{
public:
    // Finds a cell; nothing when it is unknown. Throws when the database cannot answer.
    using Lookup = std::function<std::optional<CellLocation>(const CellKey&)>;
    // The cells within the radius, nearest first, at most kMaxNearCells. Throws like Lookup.
    using Near = std::function<std::vector<NearCell>(const NearQuery&)>;
    // Told about failures that are the server's fault, for its log.
    using Log = std::function<void(const std::string&)>;

    explicit CellService(Lookup lookup, Log log = {}, Near near = {});

    // target: "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78"
    //      or "/cells_near/?lat=55.7558&lon=37.6173&countrycode=250&operatorid=1&radius_km=5"
    HttpReply handle(std::string_view method, std::string_view target) const;

private:
    HttpReply databaseError(const std::exception& e) const;

    Lookup lookup_;
    Log log_;
    Near near_;
};

} // namespace cellsvc
