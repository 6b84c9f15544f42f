// The search around a place (/cells_near/) on a database of a million cells, and what its index
// costs an import. Cells are laid out as a country's are: four networks over a land of 900 by
// 600 km, most cells gathered in forty towns, the rest spread thinly between them.
//
// Prints: the time to store the rows without and with the index, the time the index takes
// alone, the time an R*Tree of the same positions takes to fill (the alternative), and the
// latency of the endpoint (query parsing, the search and the XML reply) at random places and radii
// and at the worst place: 50 km around the densest town.
//
//   cellsvc_near_bench [FOLDER]        (ROWS=1000000, QUERIES=2000, RTREE=0 to skip it)
#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/CellService.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <random>
#include <sqlite3.h>
#include <string>
#include <vector>

using namespace cellsvc;

namespace
{

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long envOr(const char* name, long fallback)
{
    const char* value = std::getenv(name);
    return value ? std::atol(value) : fallback;
}

constexpr double kSouth = 47.5, kNorth = 55.0, kWest = 6.0, kEast = 15.0; // about Germany
constexpr int kNetworks = 4;
constexpr int kTowns = 40;

struct Town {
    double lat, lon, sigmaKm;
};

std::vector<Town> towns(std::mt19937_64& random)
{
    std::uniform_real_distribution<double> lat(kSouth, kNorth), lon(kWest, kEast);
    std::vector<Town> made;
    for (int i = 0; i < kTowns; ++i) {
        // The first town is the largest, as a capital is.
        made.push_back({lat(random), lon(random), i == 0 ? 12.0 : 3.0 + i % 5});
    }
    return made;
}

// Rows in key order, as the importer stores them a batch at a time.
void fill(CellWriter& writer, long rows, const std::vector<Town>& places, std::mt19937_64& random)
{
    static constexpr const char* kRadios[] = {"GSM", "UMTS", "LTE"};
    std::uniform_real_distribution<double> unit(0, 1), lat(kSouth, kNorth), lon(kWest, kEast);
    std::normal_distribution<double> spread(0, 1);
    const long perArea = 200;
    for (long i = 0; i < rows; ++i) {
        CellRecord r;
        r.radio = kRadios[i % 3];
        r.mcc = 262;
        r.net = 1 + static_cast<int>(i * kNetworks / rows);
        r.area = 1 + i / perArea;
        r.cell = 1 + i % perArea;
        // A town's share of the cells falls with its rank; 30 % lie between towns.
        if (unit(random) < 0.7) {
            const Town& t = places[static_cast<std::size_t>(
                std::min<double>(kTowns - 1, std::floor(kTowns * std::pow(unit(random), 2))))];
            r.lat = t.lat + spread(random) * t.sigmaKm / 111.2;
            r.lon = t.lon +
                    spread(random) * t.sigmaKm / (111.2 * std::cos(t.lat * std::numbers::pi / 180));
        } else {
            r.lat = lat(random);
            r.lon = lon(random);
        }
        r.range = 300 + static_cast<std::int64_t>(unit(random) * 5000);
        r.samples = 1 + static_cast<std::int64_t>(unit(random) * 300);
        r.updated = 1700000000;
        writer.upsert(r);
    }
}

double rtreeFillSeconds(const std::string& database)
{
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    const auto start = Clock::now();
    const char* sql = "PRAGMA cache_size=-262144; BEGIN;"
                      "CREATE VIRTUAL TABLE positions USING rtree(id, lat0, lat1, lon0, lon1);"
                      "INSERT INTO positions SELECT row_number() OVER (), lat, lat, lon, lon "
                      "FROM cells; ROLLBACK;";
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::printf("R*Tree: %s\n", error);
        sqlite3_free(error);
    }
    const double seconds = secondsSince(start);
    sqlite3_close(db);
    return seconds;
}

struct Figures {
    double p50, p99, max, cells;
};

Figures measure(const CellService& service, const std::vector<std::string>& targets)
{
    std::vector<double> ms;
    double cells = 0;
    for (const std::string& target : targets) {
        const auto start = Clock::now();
        const HttpReply reply = service.handle("GET", target);
        ms.push_back(secondsSince(start) * 1000);
        for (std::size_t at = reply.body.find("<cell "); at != std::string::npos;
             at = reply.body.find("<cell ", at + 1)) {
            ++cells;
        }
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back(),
            cells / static_cast<double>(targets.size())};
}

std::string target(double lat, double lon, int net, double radiusKm)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "/cells_near/?lat=%.5f&lon=%.5f&countrycode=262&operatorid=%d&radius_km=%.1f",
                  lat, lon, net, radiusKm);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "/tmp/cellsvc-near-bench";
    const long rows = envOr("ROWS", 1000000);
    const long queries = envOr("QUERIES", 2000);
    std::filesystem::create_directories(folder);
    const std::string database = folder + "/near.db";
    std::filesystem::remove(database);

    std::mt19937_64 random(20261208);
    const std::vector<Town> places = towns(random);
    std::printf("cellsvc /cells_near/ benchmark: %ld cells, %d networks, %d towns\n", rows,
                kNetworks, kTowns);
    double stored = 0;
    {
        CellWriter writer(database, 256, CellWriter::Mode::Private);
        writer.begin();
        const auto start = Clock::now();
        fill(writer, rows, places, random);
        writer.commit(); // builds the index
        writer.finishPrivate();
        stored = secondsSince(start);
    }
    // The index alone, built again from its own definition on a connection set up as the
    // importer's for a new database: no journal, a 256 MiB page cache.
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    sqlite3_stmt* definition = nullptr;
    sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_schema WHERE name = 'cells_near'", -1,
                       &definition, nullptr);
    sqlite3_step(definition);
    const std::string createIndex =
        reinterpret_cast<const char*>(sqlite3_column_text(definition, 0));
    sqlite3_finalize(definition);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; PRAGMA locking_mode=EXCLUSIVE; "
                 "PRAGMA cache_size=-262144; DROP INDEX cells_near",
                 nullptr, nullptr, nullptr);
    const auto start = Clock::now();
    sqlite3_exec(db, createIndex.c_str(), nullptr, nullptr, nullptr);
    const double index = secondsSince(start);
    sqlite3_close(db);
    std::printf("storing the rows (the importer's storing thread): %.2f s without the index, "
                "%.2f s with it (%.2fx); the index alone %.2f s\n",
                stored - index, stored, stored / (stored - index), index);
    if (envOr("RTREE", 1) != 0) {
        std::printf("filling an R*Tree of the same positions instead: %.2f s\n",
                    rtreeFillSeconds(database));
    }

    CellReader reader(database);
    const CellService service(
        [](const CellKey&) { return std::nullopt; }, {},
        [&reader](const NearQuery& q) { return reader.near(q, kMaxNearCells); });
    std::uniform_real_distribution<double> unit(0, 1), radius(1, 50);
    std::vector<std::string> anywhere, worst;
    for (long i = 0; i < queries; ++i) {
        const bool inTown = unit(random) < 0.7;
        const Town& t = places[static_cast<std::size_t>(unit(random) * kTowns)];
        anywhere.push_back(target(inTown ? t.lat : kSouth + unit(random) * (kNorth - kSouth),
                                  inTown ? t.lon : kWest + unit(random) * (kEast - kWest),
                                  1 + static_cast<int>(i % kNetworks), radius(random)));
        worst.push_back(
            target(places[0].lat, places[0].lon, 1 + static_cast<int>(i % kNetworks), 50));
    }
    measure(service, {anywhere.begin(), anywhere.begin() + std::min<long>(queries, 200)});
    for (const auto& [name, targets] :
         {std::pair{"random places (70 % in towns), radius 1 to 50 km", &anywhere},
          std::pair{"50 km around the largest town", &worst}}) {
        const Figures f = measure(service, *targets);
        std::printf("%-50s p50 %.2f ms  p99 %.2f ms  max %.2f ms  (%.0f cells a reply)\n", name,
                    f.p50, f.p99, f.max, f.cells);
    }
    std::printf("goal: p99 < 5 ms\n");
    return 0;
}
