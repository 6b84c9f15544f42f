#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/LocationReply.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace cellsvc;

namespace
{

constexpr const char* kIssueExample =
    R"(<?xml version="1.0" encoding="UTF-8"?><location source="cell"><coordinates )"
    R"(latitude="55.75580" longitude="37.61730" range="1200" samples="14"/></location>)";

TEST(ErrorXml, EscapesMarkupAndCarriesTheWordError)
{
    EXPECT_EQ(errorXml("bad<code>", "a & b \"quoted\" 'x' <tag>"),
              R"(<?xml version="1.0" encoding="UTF-8"?><error code="bad&lt;code&gt;">)"
              R"(a &amp; b &quot;quoted&quot; &apos;x&apos; &lt;tag&gt;</error>)");
}

// A database of two cells, 250/1/78/314 and 250/1/78/0 a hair south-west of (0, 0); cell 666
// makes the database fail.
std::optional<CellLocation> twoCells(const CellKey& key)
{
    if (key.cellId == 666) {
        throw std::runtime_error("disk I/O error");
    }
    if (key == CellKey{250, 1, 78, 314}) {
        return CellLocation{55.7558, 37.6173, 1200, 14};
    }
    if (key == CellKey{250, 1, 78, 0}) {
        return CellLocation{-0.000001, -0.000004, 1, 1};
    }
    return std::nullopt;
}

TEST(CellService, RepliesWithTheFittingStatusAndShape)
{
    const auto cell = [](const std::string& id) {
        return "/cellid_location/?&cellid=" + id + "&operatorid=1&countrycode=250&lac=78";
    };
    const struct {
        const char* name;
        const char* method;
        std::string target;
        int status;
        const char* inBody;
    } rows[] = {
        {"found", "GET", cell("314"), 200, kIssueExample},
        {"head is answered", "HEAD", cell("314"), 200, kIssueExample},
        {"five decimals, no negative zero", "GET", cell("0"), 200,
         R"(latitude="0.00000" longitude="0.00000")"},
        {"mcc and mnc not swapped", "GET",
         "/cellid_location/?&cellid=314&operatorid=250&countrycode=1&lac=78", 404,
         R"(<error code="cellNotFound">)"},
        {"path without slash", "GET",
         "/cellid_location?&cellid=314&operatorid=1&countrycode=250&lac=78", 404,
         R"(<error code="unknownPath">)"},
        {"malformed", "GET", "/cellid_location/?&cellid=31a&operatorid=1", 400,
         R"(<error code="notANumber">)"},
        {"too long", "GET", "/cellid_location/?" + std::string(5000, 'a'), 414,
         R"(<error code="queryTooLong">)"},
        {"post", "POST", "/cellid_location/", 405, R"(<error code="methodNotAllowed">)"},
        {"database fails", "GET", cell("666"), 500, R"(<error code="databaseError">)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> logged;
        const CellService service(twoCells, [&](const std::string& m) { logged.push_back(m); });
        const HttpReply reply = service.handle(row.method, row.target);
        EXPECT_EQ(reply.status, row.status) << reply.body;
        EXPECT_NE(reply.body.find(row.inBody), std::string::npos) << reply.body;
        EXPECT_EQ(logged.size(), reply.status == 500 ? 1u : 0u) << "only server faults are logged";
    }
}

} // namespace
