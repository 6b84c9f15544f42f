#include "tools/cellsvc/CellService.h"

#include <exception>

namespace cellsvc
{
namespace
{

HttpReply error(int status, std::string_view code, std::string_view message)
{
    return HttpReply{status, errorXml(code, message)};
}

HttpReply refused(const QueryProblem& problem)
{
    return error(problem.code == "queryTooLong" ? 414 : 400, problem.code, problem.message);
}

} // namespace

CellService::CellService(Lookup lookup, Log log, Near near)
    : lookup_(std::move(lookup)), log_(std::move(log)), near_(std::move(near))
{
}

HttpReply CellService::databaseError(const std::exception& e) const
{
    if (log_) {
        log_(e.what());
    }
    return error(500, "databaseError", "the cell database could not be read");
}

HttpReply CellService::handle(std::string_view method, std::string_view target) const
{
    if (method != "GET" && method != "HEAD") {
        return error(405, "methodNotAllowed", "only GET and HEAD are answered");
    }
    const std::size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const std::string_view query =
        question == std::string_view::npos ? std::string_view{} : target.substr(question + 1);
    if (path == kNearPath) {
        const NearQueryResult parsed = parseNearQuery(query);
        if (!parsed.query) {
            return refused(parsed.problem);
        }
        try {
            return HttpReply{200, cellsXml(near_(*parsed.query))};
        } catch (const std::exception& e) {
            return databaseError(e);
        }
    }
    if (path != kLookupPath) {
        return error(404, "unknownPath",
                     "ask /cellid_location/?&cellid=C&operatorid=MNC&countrycode=MCC&lac=L or "
                     "/cells_near/?lat=LAT&lon=LON&countrycode=MCC&operatorid=MNC&radius_km=R");
    }
    const QueryResult parsed = parseCellQuery(query);
    if (!parsed.key) {
        return refused(parsed.problem);
    }
    std::optional<CellLocation> location;
    try {
        location = lookup_(*parsed.key);
    } catch (const std::exception& e) {
        return databaseError(e);
    }
    if (!location) {
        return error(404, "cellNotFound", "the cell is not in the database");
    }
    return HttpReply{200, locationXml(*location)};
}

} // namespace cellsvc
