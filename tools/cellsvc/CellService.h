#pragma once

#include "tools/cellsvc/CellQuery.h"
#include "tools/cellsvc/LocationReply.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cellsvc
{

// The path the locator asks at; every other path, "/cellid_location" too, is unknown.
constexpr std::string_view kLookupPath = "/cellid_location/";

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
    // Told about failures that are the server's fault, for its log.
    using Log = std::function<void(const std::string&)>;

    explicit CellService(Lookup lookup, Log log = {});

    // target: "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78"
    HttpReply handle(std::string_view method, std::string_view target) const;

private:
    Lookup lookup_;
    Log log_;
};

} // namespace cellsvc
