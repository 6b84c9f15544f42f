#include "geodesy/Geodesy.h"
#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/ExportRow.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ReaderPool.h"
#include "tools/cellsvc/tests/TestSupport.h"

#include <gtest/gtest.h>
#include <map>

using namespace cellsvc;
using namespace cellsvc::test;

namespace
{

struct Served {
    explicit Served(const std::string& from)
        : imported(importFile(from, database, 16, {}, std::atomic<bool>{false}))
    {
    }
    TempDir dir;
    std::string database = dir.file("cells.db");
    ImportResult imported;
    ReaderPool readers{database, 1};
    CellService service{[this](const CellKey& k) { return readers.find(k); },
                        {},
                        [this](const NearQuery& q) { return readers.near(q, kMaxNearCells); }};
};

struct Listed {
    std::string key; // radio/lac/cellid
    std::string cellId;
    double km, bearing;
};

// The value of one attribute of an element written by cellsXml.
std::string attribute(std::string_view element, const std::string& name)
{
    const std::size_t start = element.find(" " + name + "=\"") + name.size() + 3;
    return std::string(element.substr(start, element.find('"', start) - start));
}

std::vector<Listed> cellsOf(const std::string& xml)
{
    std::vector<Listed> found;
    for (std::size_t at = xml.find("<cell "); at != std::string::npos;
         at = xml.find("<cell ", at + 1)) {
        const std::string_view cell = std::string_view(xml).substr(at, xml.find("/>", at) - at);
        found.push_back({attribute(cell, "radio") + "/" + attribute(cell, "lac") + "/" +
                             attribute(cell, "cellid"),
                         attribute(cell, "cellid"), std::stod(attribute(cell, "distance_km")),
                         std::stod(attribute(cell, "bearing_deg"))});
    }
    return found;
}

TEST(CellsNear, ListsTheNetworksCellsWithinTheRadiusNearestFirst)
{
    const TempDir files;
    // Around (10, 20): 5 km is 0.0449661 degrees of latitude. Around (0, 180): the date line.
    Served served(files.write("near.csv", "LTE,250,1,1,1,0,20,10.01,500,9,1,1,2,0\n"
                                          "LTE,250,1,1,2,0,20,10,500,9,1,1,2,0\n"
                                          "GSM,250,2,1,3,0,20,10,500,9,1,1,2,0\n"
                                          "GSM,250,1,1,4,0,20,9.9550340,500,9,1,1,2,0\n"
                                          "GSM,250,1,1,5,0,20,10.0449750,500,9,1,1,2,0\n"
                                          "UMTS,250,1,1,6,0,179.999,0,500,9,1,1,2,0\n"
                                          "UMTS,250,1,1,7,0,-179.9985,0,500,9,1,1,2,0\n"));
    const auto near = [](const char* place, const char* radius) {
        return "/cells_near/?" + std::string(place) +
               "&countrycode=250&operatorid=1&radius_km=" + radius;
    };
    const struct {
        std::string target;
        int status;
        std::vector<std::string> cells;
    } rows[] = {
        {near("lat=10&lon=20", "5"), 200, {"2", "1", "4"}}, // 4 just inside, 5 just outside
        {near("lat=10&lon=20", "5.002"), 200, {"2", "1", "4", "5"}},
        {near("lat=0&lon=-180", "1"), 200, {"6", "7"}},
        {near("lat=0&lon=179.9999", "1"), 200, {"6", "7"}},
        {near("lat=-90&lon=0", "50"), 200, {}},
        {near("lat=90.001&lon=0", "5"), 400, {}},
        {near("lat=10&lon=-180.5", "5"), 400, {}},
        {near("lat=nan&lon=0", "5"), 400, {}},
        {near("lat=1e1&lon=0", "5"), 400, {}},
        {near("lat=10&lon=20", "0.5"), 400, {}},
        {near("lat=10&lon=20", "50.1"), 400, {}},
        {near("lat=10&lon=20", ""), 400, {}},
        {"/cells_near/?lat=10&lon=20&countrycode=1000&operatorid=1&radius_km=5", 400, {}},
        {"/cells_near/?lat=10&lon=20&countrycode=250&radius_km=5", 400, {}},
    };
    for (const auto& row : rows) {
        const HttpReply reply = served.service.handle("GET", row.target);
        EXPECT_EQ(reply.status, row.status) << row.target << "\n" << reply.body;
        std::vector<std::string> ids;
        for (const Listed& cell : cellsOf(reply.body)) {
            ids.push_back(cell.cellId);
        }
        EXPECT_EQ(ids, row.cells) << row.target;
    }
}

// The index and its windows against every cell of the sample's export, measured one by one.
TEST(CellsNear, FindsWhatMeasuringEveryCellOfTheExportFinds)
{
    Served served(kSample);
    const struct {
        int mcc, mnc;
        geodesy::Position place;
        double radiusKm;
    } places[] = {
        {250, 1, {55.7558, 37.6173}, 15}, {234, 15, {52.25, 0.2}, 10},  {262, 2, {47.9, 7.7}, 50},
        {542, 1, {-16.8, -179.95}, 20},   {1, 1, {48.8566, 2.3522}, 3},
    };
    for (const auto& p : places) {
        std::map<std::string, std::pair<double, double>> expected; // key -> km, bearing
        ExportReader reader(kSample);
        std::string_view line;
        bool truncated = false;
        CellRecord r;
        std::string problem;
        while (reader.next(line, truncated)) {
            if (parseExportRow(line, r, problem) && r.mcc == p.mcc && r.net == p.mnc &&
                geodesy::distanceKm(p.place, {r.lat, r.lon}) <= p.radiusKm) {
                const std::string key = std::string(r.radio) + "/" + std::to_string(r.area) + "/" +
                                        std::to_string(r.cell);
                expected[key] = {geodesy::distanceKm(p.place, {r.lat, r.lon}),
                                 geodesy::initialBearingDeg(p.place, {r.lat, r.lon})};
            }
        }
        const std::string target =
            "/cells_near/?lat=" + std::to_string(p.place.latitude) +
            "&lon=" + std::to_string(p.place.longitude) + "&countrycode=" + std::to_string(p.mcc) +
            "&operatorid=" + std::to_string(p.mnc) + "&radius_km=" + std::to_string(p.radiusKm);
        const auto found = cellsOf(served.service.handle("GET", target).body);
        SCOPED_TRACE(target);
        EXPECT_GT(expected.size(), 2u);
        ASSERT_EQ(found.size(), expected.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            const Listed& cell = found[i];
            ASSERT_TRUE(expected.contains(cell.key)) << cell.key;
            EXPECT_NEAR(cell.km, expected[cell.key].first, 0.001) << cell.key;
            const double turn = std::abs(cell.bearing - expected[cell.key].second);
            EXPECT_LE(std::min(turn, 360 - turn), 0.1) << cell.key;
            EXPECT_TRUE(i == 0 || found[i - 1].km <= cell.km) << "nearest first";
        }
    }
}

} // namespace
