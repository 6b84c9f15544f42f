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

// Five decimals (about a metre), rounded, and never "-0.00000"; latitude first, as the locator
// reads them.
TEST(LocationXml, WritesFiveDecimalsWithoutNegativeZero)
{
    const struct {
        CellLocation location;
        const char* coordinates;
    } rows[] = {
        {{-23.550519, -46.633309, 1, 1}, R"(latitude="-23.55052" longitude="-46.63331")"},
        {{-0.000001, -0.000004, 1, 1}, R"(latitude="0.00000" longitude="0.00000")"},
        {{-90, 180, 1, 1}, R"(latitude="-90.00000" longitude="180.00000")"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.coordinates);
        EXPECT_NE(locationXml(row.location).find(row.coordinates), std::string::npos);
    }
}

TEST(ErrorXml, EscapesMarkupAndCarriesTheWordError)
{
    EXPECT_EQ(errorXml("bad<code>", "a & b \"quoted\" 'x' <tag>"),
              R"(<?xml version="1.0" encoding="UTF-8"?><error code="bad&lt;code&gt;">)"
              R"(a &amp; b &quot;quoted&quot; &apos;x&apos; &lt;tag&gt;</error>)");
}

// A database of one cell, 250/1/78/314; cell 666 makes the database fail.
std::optional<CellLocation> oneCell(const CellKey& key)
{
    if (key.cellId == 666) {
        throw std::runtime_error("disk I/O error");
    }
    if (key == CellKey{250, 1, 78, 314}) {
        return CellLocation{55.7558, 37.6173, 1200, 14};
    }
    return std::nullopt;
}

TEST(CellService, RepliesWithTheFittingStatusAndShape)
{
    const std::string lookup = "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78";
    const struct {
        const char* name;
        const char* method;
        std::string target;
        int status;
        const char* errorCode; // empty for a location
    } rows[] = {
        {"found", "GET", lookup, 200, ""},
        {"head is answered", "HEAD", lookup, 200, ""},
        {"mcc and mnc not swapped", "GET",
         "/cellid_location/?&cellid=314&operatorid=250&countrycode=1&lac=78", 404, "cellNotFound"},
        {"path without slash", "GET",
         "/cellid_location?&cellid=314&operatorid=1&countrycode=250&lac=78", 404, "unknownPath"},
        {"unknown cell", "GET", "/cellid_location/?&cellid=315&operatorid=1&countrycode=250&lac=78",
         404, "cellNotFound"},
        {"malformed", "GET", "/cellid_location/?&cellid=31a&operatorid=1", 400, "notANumber"},
        {"too long", "GET", "/cellid_location/?" + std::string(5000, 'a'), 414, "queryTooLong"},
        {"post", "POST", "/cellid_location/", 405, "methodNotAllowed"},
        {"database fails", "GET",
         "/cellid_location/?&cellid=666&operatorid=1&countrycode=250&lac=78", 500, "databaseError"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> logged;
        const CellService service(oneCell, [&](const std::string& m) { logged.push_back(m); });
        const HttpReply reply = service.handle(row.method, row.target);
        EXPECT_EQ(reply.status, row.status) << reply.body;
        if (*row.errorCode) {
            EXPECT_TRUE(
                reply.body.starts_with(R"(<?xml version="1.0" encoding="UTF-8"?><error code=")" +
                                       std::string(row.errorCode) + "\">"))
                << reply.body;
            EXPECT_TRUE(reply.body.ends_with("</error>"));
        } else {
            EXPECT_EQ(reply.body, kIssueExample);
        }
        EXPECT_EQ(logged.size(), reply.status == 500 ? 1u : 0u) << "only server faults are logged";
    }
}

} // namespace
