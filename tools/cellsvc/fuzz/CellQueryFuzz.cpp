// Feeds arbitrary bytes to the query parsers, alone and inside an otherwise valid query, and
// checks that what they accept is in range and that every reply is a well-formed document.
#include "tools/cellsvc/CellQuery.h"
#include "tools/cellsvc/CellService.h"
#include "tools/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

using namespace cellsvc;

namespace
{

void checkQuery(const std::string& query)
{
    const QueryResult result = parseCellQuery(query);
    if (result.key) {
        const CellKey& key = *result.key;
        FUZZ_CHECK(key.mcc >= 0 && key.mcc <= kMaxMcc && key.mnc >= 0 && key.mnc <= kMaxMnc);
        FUZZ_CHECK(key.lac >= 0 && key.lac <= kMaxLac && key.cellId >= 0 &&
                   key.cellId <= kMaxCellId);
        // Written back plainly, the key reads the same.
        const std::string plain =
            "&cellid=" + std::to_string(key.cellId) + "&operatorid=" + std::to_string(key.mnc) +
            "&countrycode=" + std::to_string(key.mcc) + "&lac=" + std::to_string(key.lac);
        FUZZ_CHECK(parseCellQuery(plain).key == key);
    } else {
        FUZZ_CHECK(!result.problem.code.empty() && !result.problem.message.empty());
    }

    const CellService service([](const CellKey& key) {
        return key.cellId % 2 == 0 ? std::optional(CellLocation{-33.86785, 151.20732, 500, 3})
                                   : std::nullopt;
    });
    const HttpReply reply = service.handle("GET", "/cellid_location/?" + query);
    FUZZ_CHECK(reply.body.starts_with(R"(<?xml version="1.0" encoding="UTF-8"?>)"));
    // Only our own markup: whatever the client sent is escaped.
    const auto tags = std::ranges::count(reply.body, '<');
    FUZZ_CHECK(reply.status == 200 ? tags == 4 : tags == 3);
    FUZZ_CHECK((reply.status == 200) == bool(result.key) || reply.status == 404);
}

// An accepted search is in range: a NaN or infinity fails these comparisons too.
void checkNearQuery(const std::string& query)
{
    const NearQueryResult result = parseNearQuery(query);
    if (result.query) {
        const NearQuery& q = *result.query;
        FUZZ_CHECK(std::abs(q.latitude) <= 90 && std::abs(q.longitude) <= 180 &&
                   q.radiusKm >= kMinNearRadiusKm && q.radiusKm <= kMaxNearRadiusKm);
    } else {
        FUZZ_CHECK(!result.problem.code.empty() && !result.problem.message.empty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    checkQuery(input);
    checkQuery("&cellid=" + input + "&operatorid=1&countrycode=250&lac=78");
    checkQuery("&cellid=314&operatorid=1&countrycode=250&lac=78&" + input);
    checkQuery("&cellid=3%314&operatorid=" + input + "&countrycode=250&lac=78");
    checkNearQuery(input);
    checkNearQuery("lat=" + input + "&lon=1&countrycode=1&operatorid=1&radius_km=5");
    return 0;
}
