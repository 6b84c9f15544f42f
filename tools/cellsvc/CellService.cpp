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

int statusFor(const QueryProblem& problem)
{
    return problem.code == "queryTooLong" ? 414 : 400;
}

} // namespace

CellService::CellService(Lookup lookup, Log log) : lookup_(std::move(lookup)), log_(std::move(log))
{
}

HttpReply CellService::handle(std::string_view method, std::string_view target) const
{
    if (method != "GET" && method != "HEAD") {
        return error(405, "methodNotAllowed", "only GET and HEAD are answered");
    }
    const std::size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    if (path != kLookupPath) {
        return error(404, "unknownPath",
                     "ask /cellid_location/?&cellid=C&operatorid=MNC&countrycode=MCC&lac=L");
    }
    const std::string_view query =
        question == std::string_view::npos ? std::string_view{} : target.substr(question + 1);
    const QueryResult parsed = parseCellQuery(query);
    if (!parsed.key) {
        return error(statusFor(parsed.problem), parsed.problem.code, parsed.problem.message);
    }
    std::optional<CellLocation> location;
    try {
        location = lookup_(*parsed.key);
    } catch (const std::exception& e) {
        if (log_) {
            log_(e.what());
        }
        return error(500, "databaseError", "the cell database could not be read");
    }
    if (!location) {
        return error(404, "cellNotFound", "the cell is not in the database");
    }
    return HttpReply{200, locationXml(*location)};
}

} // namespace cellsvc
