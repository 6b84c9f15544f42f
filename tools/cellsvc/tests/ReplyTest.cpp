#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/LocationReply.h"

#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>

using namespace cellsvc;

namespace
{

constexpr const char* kIssueExample =
    R"(<?xml version="1.0" encoding="UTF-8"?><location source="cell"><coordinates )"
    R"(latitude="55.75580" longitude="37.61730" range="1200" samples="14"/></location>)";

TEST(LocationXml, HasTheAgreedShape)
{
    EXPECT_EQ(locationXml({55.7558, 37.6173, 1200, 14}), kIssueExample);
}

// What the locator does with a reply: the first two quoted texts after "coordinates".
std::pair<std::string, std::string> readAsTheLocatorDoes(const std::string& reply)
{
    const std::size_t k = reply.find("coordinates");
    const std::size_t q1 = reply.find('"', k + 1);
    const std::size_t q2 = reply.find('"', q1 + 1);
    const std::size_t q3 = reply.find('"', q2 + 1);
    const std::size_t q4 = reply.find('"', q3 + 1);
    return {reply.substr(q1 + 1, q2 - q1 - 1), reply.substr(q3 + 1, q4 - q3 - 1)};
}

struct Place {
    const char* name;
    CellLocation location;
    const char* latitude;
    const char* longitude;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const Place& row, std::ostream* out)
{
    *out << row.name;
}

class LocatorReading : public testing::TestWithParam<Place>
{
};

TEST_P(LocatorReading, FindsLatitudeThenLongitude)
{
    const std::string reply = locationXml(GetParam().location);
    const auto [first, second] = readAsTheLocatorDoes(reply);
    EXPECT_EQ(first, GetParam().latitude);
    EXPECT_EQ(second, GetParam().longitude);
    EXPECT_EQ(reply.find("error"), std::string::npos) << "the locator would report a failure";
}

INSTANTIATE_TEST_SUITE_P(
    LocationXml, LocatorReading,
    testing::Values(Place{"NorthEast", {55.7558, 37.6173, 1200, 14}, "55.75580", "37.61730"},
                    Place{"SouthWest", {-23.550519, -46.633309, 1, 1}, "-23.55052", "-46.63331"},
                    Place{"NoNegativeZero", {-0.000001, -0.000004, 1, 1}, "0.00000", "0.00000"},
                    Place{"Extremes", {-90, 180, 1, 1}, "-90.00000", "180.00000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorXml, EscapesMarkupAndCarriesTheWordError)
{
    EXPECT_EQ(errorXml("bad<code>", "a & b \"quoted\" 'x' <tag>"),
              R"(<?xml version="1.0" encoding="UTF-8"?><error code="bad&lt;code&gt;">)"
              R"(a &amp; b &quot;quoted&quot; &apos;x&apos; &lt;tag&gt;</error>)");
}

struct Exchange {
    const char* name;
    const char* method;
    std::string target;
    int status;
    const char* errorCode; // empty for a location
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const Exchange& row, std::ostream* out)
{
    *out << row.name;
}

class ServiceReply : public testing::TestWithParam<Exchange>
{
};

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

TEST_P(ServiceReply, HasTheFittingStatusAndShape)
{
    std::vector<std::string> logged;
    const CellService service(oneCell, [&](const std::string& m) { logged.push_back(m); });
    const HttpReply reply = service.handle(GetParam().method, GetParam().target);
    EXPECT_EQ(reply.status, GetParam().status) << reply.body;
    if (*GetParam().errorCode) {
        EXPECT_TRUE(
            reply.body.starts_with(R"(<?xml version="1.0" encoding="UTF-8"?><error code=")" +
                                   std::string(GetParam().errorCode) + "\">"))
            << reply.body;
        EXPECT_TRUE(reply.body.ends_with("</error>"));
    } else {
        EXPECT_EQ(reply.body, kIssueExample);
    }
    EXPECT_EQ(logged.size(), reply.status == 500 ? 1u : 0u) << "only server faults are logged";
}

INSTANTIATE_TEST_SUITE_P(
    CellService, ServiceReply,
    testing::Values(Exchange{"Found", "GET",
                             "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78",
                             200, ""},
                    Exchange{"MccAndMncNotSwapped", "GET",
                             "/cellid_location/?&cellid=314&operatorid=250&countrycode=1&lac=78",
                             404, "cellNotFound"},
                    Exchange{"HeadIsAnswered", "HEAD",
                             "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78",
                             200, ""},
                    Exchange{"PathWithoutSlash", "GET",
                             "/cellid_location?&cellid=314&operatorid=1&countrycode=250&lac=78",
                             404, "unknownPath"},
                    Exchange{"UnknownCell", "GET",
                             "/cellid_location/?&cellid=315&operatorid=1&countrycode=250&lac=78",
                             404, "cellNotFound"},
                    Exchange{"Malformed", "GET", "/cellid_location/?&cellid=31a&operatorid=1", 400,
                             "notANumber"},
                    Exchange{"TooLong", "GET", "/cellid_location/?" + std::string(5000, 'a'), 414,
                             "queryTooLong"},
                    Exchange{"OtherPath", "GET", "/", 404, "unknownPath"},
                    Exchange{"Post", "POST", "/cellid_location/", 405, "methodNotAllowed"},
                    Exchange{"DatabaseFails", "GET",
                             "/cellid_location/?&cellid=666&operatorid=1&countrycode=250&lac=78",
                             500, "databaseError"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
