#include "tools/cellsvc/CellDatabase.h"

#include "geodesy/Geodesy.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <sqlite3.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace cellsvc
{
namespace
{

// The key covers the radio too: the same cell identity may be listed once per radio type.
// WITHOUT ROWID makes the primary key the table's own B-tree, so it doubles as the index on
// (mcc, net, area, cell) that lookups use, and no separate index has to be kept up to date.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS cells (
    mcc INTEGER NOT NULL,
    net INTEGER NOT NULL,
    area INTEGER NOT NULL,
    cell INTEGER NOT NULL,
    radio TEXT NOT NULL,
    lon REAL NOT NULL,
    lat REAL NOT NULL,
    range INTEGER NOT NULL,
    samples INTEGER NOT NULL,
    updated INTEGER NOT NULL,
    PRIMARY KEY (mcc, net, area, cell, radio)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS summary (
    cells INTEGER NOT NULL,
    imported INTEGER NOT NULL
);
)sql";

// The search around a place reads, for each strip of latitude its circle touches, the
// network's cells of its longitude window: the index is ordered by network, strip (a twentieth
// of a degree, 5.6 km) and longitude, so each strip is one seek and a short run, whatever the
// number of cells in the rest of the strip. An index on (mcc, net, lat, lon) read the whole
// latitude band and filtered longitudes, which in a dense network's band took 3 to 4 ms alone
// (README). It also holds the latitude and the table's key, so the search reads no table row
// but those of the cells it answers with. Kept out of kSchema: a new database gets it in one
// sorted pass after its rows (see CellWriter::commit), a fraction of the cost of keeping it up
// to date row by row. SQLite's R*Tree was measured too (README): several times slower to fill,
// and its 32-bit floats can only prefilter.
constexpr const char* kNearIndex = "CREATE INDEX IF NOT EXISTS cells_near ON cells "
                                   "(mcc, net, CAST((lat + 90) * 20 AS INTEGER), lon, lat)";
constexpr double kStripsPerDegree = 20; // as in kNearIndex

// One strip's longitude window; the distance of each cell is then computed from its stored
// coordinates. The strip's expression is the index's, word for word, or SQLite would not use it.
constexpr const char* kNear = R"sql(
SELECT radio, area, cell, lat, lon FROM cells
WHERE mcc = ?1 AND net = ?2 AND CAST((lat + 90) * 20 AS INTEGER) = ?3
  AND lon BETWEEN ?4 AND ?5 AND lat BETWEEN ?6 AND ?7
)sql";

constexpr const char* kRangeAndSamples = R"sql(
SELECT range, samples FROM cells
WHERE mcc = ?1 AND net = ?2 AND area = ?3 AND cell = ?4 AND radio = ?5
)sql";

// Counting tens of millions of rows takes seconds, so each import leaves the count here for
// the server to show at start.
constexpr const char* kSummarize = R"sql(
DELETE FROM summary;
INSERT INTO summary (cells, imported) SELECT count(*), unixepoch() FROM cells;
)sql";

constexpr const char* kUpsert = R"sql(
INSERT INTO cells (mcc, net, area, cell, radio, lon, lat, range, samples, updated)
VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)
ON CONFLICT (mcc, net, area, cell, radio) DO UPDATE SET
    lon = excluded.lon, lat = excluded.lat, range = excluded.range, samples = excluded.samples,
    updated = excluded.updated
WHERE excluded.updated >= cells.updated
)sql";

// The key's rows, one per radio, in the primary key's order (by radio). CellReader::find picks
// one itself: an ORDER BY here made SQLite build a temporary sorter for every lookup, which
// cost more than the search.
constexpr const char* kFind = R"sql(
SELECT lat, lon, range, samples, updated FROM cells
WHERE mcc = ?1 AND net = ?2 AND area = ?3 AND cell = ?4
)sql";

// Only tables tell another program's database: an index on ours, such as cells_near, is ours
// whatever its name.
constexpr const char* kForeignTables = R"sql(
SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name NOT IN ('cells', 'summary')
)sql";

// The rectangle of latitude and longitude that holds every point within the radius of the
// centre; the distance of each cell in it decides.
struct Window {
    double south, north;
    double west1, east1, west2, east2; // the second range is empty unless split
};

Window windowAround(const NearQuery& q, double radiusKm)
{
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    // A hair of slack, so that a cell exactly at the edge is not lost to rounding here; the
    // distance check excludes what lies beyond.
    constexpr double kSlack = 1e-9;
    const double angle = radiusKm / geodesy::kEarthRadiusKm; // radians of arc
    Window w{std::max(q.latitude - angle * kDegrees - kSlack, -90.0),
             std::min(q.latitude + angle * kDegrees + kSlack, 90.0),
             -180,
             180,
             1,
             0};
    const double cosLatitude = std::cos(q.latitude / kDegrees);
    if (w.north >= 90 || w.south <= -90 || std::sin(angle) >= cosLatitude) {
        return w; // a pole lies within the radius: every longitude
    }
    // The widest longitude of a circle of this radius (at a latitude a little nearer the pole
    // than the centre's), which radius / cos(latitude) approaches for small circles.
    const double halfWidth = std::asin(std::sin(angle) / cosLatitude) * kDegrees + kSlack;
    w.west1 = q.longitude - halfWidth;
    w.east1 = q.longitude + halfWidth;
    if (w.west1 < -180) {
        w.west2 = w.west1 + 360;
        w.east2 = 180;
        w.west1 = -180;
    } else if (w.east1 > 180) {
        w.west2 = -180;
        w.east2 = w.east1 - 360;
        w.east1 = 180;
    }
    return w;
}

bool folderWritable(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::absolute(path).parent_path();
    return ::access(parent.c_str(), W_OK | X_OK) == 0;
}

} // namespace

std::string describeDatabaseFailure(const std::string& path, int code, const std::string& what,
                                    const std::string& reason, int systemError)
{
    if (systemError == ENOSPC || systemError == EDQUOT) {
        code = SQLITE_FULL;
    }
    const std::string ofCellsvc = "give the path of a database made by \"cellsvc import\", or "
                                  "a new path to make one";
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return path + " is not an SQLite database; " + ofCellsvc;
    case SQLITE_FULL:
        return "the disk holding " + path +
               " is full; free some space or choose a database on "
               "another disk (nothing was imported)";
    case SQLITE_CORRUPT:
        return path + " is damaged; import the export again into a new file";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return path + " is locked by another program (another import?); try again when it is "
                      "done";
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_IOERR:
        if (!folderWritable(path)) {
            return "cannot write in the folder of " + path +
                   " (permission denied), where SQLite keeps its working files beside the "
                   "database; choose a database in a folder you can write";
        }
        if ((code & 0xff) == SQLITE_IOERR) {
            return "reading or writing " + path + " failed (" + reason +
                   "); check the disk, or choose a database on another disk";
        }
        return "cannot open " + path + " (" + reason + "); check that you may read and write it";
    default:
        if (reason.starts_with("no such table")) {
            return path +
                   " is an SQLite database, but not one of cellsvc's (it has no table of "
                   "cells); " +
                   ofCellsvc;
        }
        return path + ": " + what + ": " + reason;
    }
}

Statement::Statement(sqlite3* db, const char* sql)
{
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr) !=
        SQLITE_OK) {
        const char* file = sqlite3_db_filename(db, "main");
        const std::string reason = describeDatabaseFailure(
            file ? file : "the database", sqlite3_extended_errcode(db), "cannot prepare a query",
            sqlite3_errmsg(db), sqlite3_system_errno(db));
        sqlite3_finalize(statement_);
        throw DatabaseError(reason);
    }
}

Statement::Statement(Statement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    std::swap(statement_, other.statement_);
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

Connection::Connection(const std::string& path, int flags) : path_(path)
{
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string reason =
            db_ ? describeDatabaseFailure(path, sqlite3_extended_errcode(db_), "cannot open",
                                          sqlite3_errmsg(db_), sqlite3_system_errno(db_))
                : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw DatabaseError(reason);
    }
    sqlite3_extended_result_codes(db_, 1);
    // Another process may hold the write lock for a moment (an import committing).
    sqlite3_busy_timeout(db_, 5000);
}

Connection::Connection(Connection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_))
{
}

Connection::~Connection()
{
    sqlite3_close_v2(db_);
}

void Connection::execute(const char* sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        raise("cannot run " + std::string(sql).substr(0, 40));
    }
}

std::string Connection::describe(const std::string& what) const
{
    return describeDatabaseFailure(path_, sqlite3_extended_errcode(db_), what, sqlite3_errmsg(db_),
                                   sqlite3_system_errno(db_));
}

void Connection::raise(const std::string& what) const
{
    throw DatabaseError(describe(what));
}

CellWriter::CellWriter(const std::string& path, int cacheMiB, Mode mode)
    : connection_(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX)
{
    // Before anything is written: another program's database is not ours to add a table to.
    {
        Statement foreign(connection_.get(), kForeignTables);
        if (sqlite3_step(foreign.get()) != SQLITE_ROW) {
            connection_.raise("cannot read the list of tables");
        }
        if (sqlite3_column_int64(foreign.get(), 0) > 0) {
            throw DatabaseError(path + " is an SQLite database of another program (it has "
                                       "tables other than cellsvc's); choose a new path for the "
                                       "cell database");
        }
    }
    // Takes effect only on a new file. Larger pages than the default 4 KiB mean fewer splits
    // and a shallower tree for tens of millions of short rows.
    connection_.execute("PRAGMA page_size=8192");
    if (mode == Mode::Private) {
        // Nobody else sees this file until it is complete, and an unfinished one is deleted:
        // pages are written once, straight into the file, with no log and no syncing.
        connection_.execute("PRAGMA journal_mode=OFF");
        connection_.execute("PRAGMA synchronous=OFF");
        connection_.execute("PRAGMA locking_mode=EXCLUSIVE");
    } else {
        // WAL lets the server go on reading while an import writes, and keeps an unfinished
        // import out of what readers see.
        connection_.execute("PRAGMA journal_mode=WAL");
        connection_.execute("PRAGMA synchronous=NORMAL");
    }
    const std::string cache = "PRAGMA cache_size=-" + std::to_string(cacheMiB * 1024);
    connection_.execute(cache.c_str());
    connection_.execute(kSchema);
    upsert_ = Statement(connection_.get(), kUpsert);
}

void CellWriter::begin()
{
    connection_.execute("BEGIN IMMEDIATE");
    inTransaction_ = true;
    if (replaceAll_) {
        // Every row is written anew: building the index once at commit beats updating it for
        // each row. Readers keep the old index with their old snapshot.
        connection_.execute("DROP INDEX IF EXISTS cells_near");
        connection_.execute("DELETE FROM cells");
    }
    // Keeping the index up to date costs more per row than building it afresh costs per stored
    // cell (measured on 1 M cells: about 1.4 against 0.6 us), so an import that writes more
    // rows than an eighth of the cells already stored drops it and builds it again at commit,
    // as a full export imported again does. A small update keeps it; one just past the eighth
    // pays at most about 3.4 times what keeping it would have cost.
    Statement stored(connection_.get(), "SELECT coalesce((SELECT cells FROM summary), 0)");
    if (sqlite3_step(stored.get()) != SQLITE_ROW) {
        connection_.raise("cannot read the summary");
    }
    rowsUntilReindex_ = std::max<std::int64_t>(sqlite3_column_int64(stored.get(), 0) / 8, 1);
}

bool CellWriter::upsert(const CellRecord& r)
{
    sqlite3_stmt* s = upsert_.get();
    sqlite3_bind_int(s, 1, r.mcc);
    sqlite3_bind_int(s, 2, r.net);
    sqlite3_bind_int64(s, 3, r.area);
    sqlite3_bind_int64(s, 4, r.cell);
    sqlite3_bind_text(s, 5, r.radio.data(), static_cast<int>(r.radio.size()), SQLITE_STATIC);
    sqlite3_bind_double(s, 6, r.lon);
    sqlite3_bind_double(s, 7, r.lat);
    sqlite3_bind_int64(s, 8, r.range);
    sqlite3_bind_int64(s, 9, r.samples);
    sqlite3_bind_int64(s, 10, r.updated);
    if (--rowsUntilReindex_ == 0) {
        // The statement is prepared again by itself for the new schema.
        connection_.execute("DROP INDEX IF EXISTS cells_near");
    }
    const int result = sqlite3_step(s);
    sqlite3_reset(s);
    if (result != SQLITE_DONE) {
        connection_.raise("cannot store a row");
    }
    return sqlite3_changes(connection_.get()) > 0;
}

void CellWriter::commit()
{
    // A no-op when the index is there: then the upserts kept it up to date. Built here when
    // it is not (a new database, or after replaceAll dropped it), from the finished table.
    connection_.execute(kNearIndex);
    connection_.execute(kSummarize);
    connection_.execute("COMMIT");
    inTransaction_ = false;
}

void CellWriter::rollback()
{
    if (inTransaction_) {
        inTransaction_ = false;
        connection_.execute("ROLLBACK");
    }
}

void CellWriter::finishPrivate()
{
    // Leave the file as a shared one opens it: in WAL mode, with normal locking.
    connection_.execute("PRAGMA locking_mode=NORMAL");
    connection_.execute("PRAGMA journal_mode=WAL");
}

void CellWriter::checkpoint()
{
    sqlite3_wal_checkpoint_v2(connection_.get(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr,
                              nullptr);
}

bool addNearIndex(const std::string& path, const std::function<void()>& starting)
{
    Connection connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    Statement present(connection.get(),
                      "SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND name = "
                      "'cells_near'");
    if (sqlite3_step(present.get()) != SQLITE_ROW) {
        connection.raise("cannot read the list of indexes");
    }
    if (sqlite3_column_int64(present.get(), 0) > 0) {
        return false;
    }
    if (starting) {
        starting();
    }
    connection.execute("PRAGMA cache_size=-65536");
    connection.execute(kNearIndex);
    return true;
}

CellReader::CellReader(const std::string& path, Clock::duration maxSnapshotAge)
    : connection_(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX), maxSnapshotAge_(maxSnapshotAge)
{
    find_ = Statement(connection_.get(), kFind);
    near_ = Statement(connection_.get(), kNear);
    rangeAndSamples_ = Statement(connection_.get(), kRangeAndSamples);
    begin_ = Statement(connection_.get(), "BEGIN");
    end_ = Statement(connection_.get(), "COMMIT");
}

namespace
{

void stepOnce(sqlite3_stmt* statement, const Connection& connection, const char* what)
{
    const int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (result != SQLITE_DONE) {
        connection.raise(what);
    }
}

} // namespace

void CellReader::useSnapshot()
{
    releaseSnapshot(maxSnapshotAge_);
    if (!snapshotSince_) {
        stepOnce(begin_.get(), connection_, "cannot begin reading");
        snapshotSince_ = Clock::now();
    }
}

void CellReader::releaseSnapshot(Clock::duration age)
{
    if (snapshotSince_ && Clock::now() - *snapshotSince_ >= age) {
        snapshotSince_.reset();
        stepOnce(end_.get(), connection_, "cannot end reading");
    }
}

std::optional<CellLocation> CellReader::find(const CellKey& key)
{
    useSnapshot();
    sqlite3_stmt* s = find_.get();
    sqlite3_bind_int(s, 1, key.mcc);
    sqlite3_bind_int(s, 2, key.mnc);
    sqlite3_bind_int64(s, 3, key.lac);
    sqlite3_bind_int64(s, 4, key.cellId);
    // Most samples first; among equals the most recently updated, then the first radio in the
    // key's order, so that the same database always gives the same answer.
    std::optional<CellLocation> found;
    std::int64_t foundUpdated = 0;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(s)) == SQLITE_ROW) {
        const std::int64_t samples = sqlite3_column_int64(s, 3);
        const std::int64_t updated = sqlite3_column_int64(s, 4);
        if (!found || samples > found->samples ||
            (samples == found->samples && updated > foundUpdated)) {
            found = CellLocation{sqlite3_column_double(s, 0), sqlite3_column_double(s, 1),
                                 sqlite3_column_int64(s, 2), samples};
            foundUpdated = updated;
        }
    }
    sqlite3_reset(s);
    if (result != SQLITE_DONE) {
        failReading("cannot look a cell up");
    }
    return found;
}

void CellReader::failReading(const char* what)
{
    DatabaseError error(connection_.describe(what));
    snapshotSince_.reset(); // start afresh next time
    sqlite3_exec(connection_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw error;
}

void CellReader::collectNear(const NearQuery& query, double radiusKm, std::vector<NearCell>& cells)
{
    const Window w = windowAround(query, radiusKm);
    const geodesy::Position centre{query.latitude, query.longitude};
    sqlite3_stmt* s = near_.get();
    sqlite3_bind_int(s, 1, query.mcc);
    sqlite3_bind_int(s, 2, query.mnc);
    sqlite3_bind_double(s, 6, w.south);
    sqlite3_bind_double(s, 7, w.north);
    const auto strip = [](double latitude) {
        return static_cast<int>((latitude + 90) * kStripsPerDegree);
    };
    const std::pair<double, double> ranges[] = {{w.west1, w.east1}, {w.west2, w.east2}};
    for (int i = strip(w.south); i <= strip(w.north); ++i) {
        for (const auto& [west, east] : ranges) {
            if (west > east) {
                continue; // no second range
            }
            sqlite3_bind_int(s, 3, i);
            sqlite3_bind_double(s, 4, west);
            sqlite3_bind_double(s, 5, east);
            int result = SQLITE_ROW;
            while ((result = sqlite3_step(s)) == SQLITE_ROW) {
                const geodesy::Position at{sqlite3_column_double(s, 3),
                                           sqlite3_column_double(s, 4)};
                const double km = geodesy::distanceKm(centre, at);
                if (km > radiusKm) {
                    continue; // in the window's corners
                }
                const auto* radio = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
                cells.push_back(NearCell{radio ? radio : "", sqlite3_column_int64(s, 1),
                                         sqlite3_column_int64(s, 2),
                                         CellLocation{at.latitude, at.longitude, 0, 0}, km,
                                         geodesy::initialBearingDeg(centre, at)});
            }
            sqlite3_reset(s);
            if (result != SQLITE_DONE) {
                failReading("cannot search for cells");
            }
        }
    }
}

std::vector<NearCell> CellReader::near(const NearQuery& query, std::size_t limit)
{
    useSnapshot();
    // Only the nearest `limit` are answered: in a town they lie within a kilometre or two, so
    // the search starts there and widens fourfold until the circle holds enough, or is the one
    // asked for. Widening reads the inner circles again, at most half as much once more.
    std::vector<NearCell> cells;
    for (double radiusKm = std::min(query.radiusKm, 2.0);;
         radiusKm = std::min(query.radiusKm, radiusKm * 4)) {
        cells.clear();
        collectNear(query, radiusKm, cells);
        if (cells.size() >= limit || radiusKm >= query.radiusKm) {
            break;
        }
    }
    const auto nearer = [](const NearCell& a, const NearCell& b) {
        return std::tie(a.distanceKm, a.radio, a.lac, a.cellId) <
               std::tie(b.distanceKm, b.radio, b.lac, b.cellId);
    };
    const auto kept = cells.begin() + static_cast<std::ptrdiff_t>(std::min(limit, cells.size()));
    std::partial_sort(cells.begin(), kept, cells.end(), nearer);
    cells.erase(kept, cells.end());
    // The index holds positions and keys; the rest of each answered cell comes from the table.
    sqlite3_stmt* s = rangeAndSamples_.get();
    for (NearCell& cell : cells) {
        sqlite3_bind_int(s, 1, query.mcc);
        sqlite3_bind_int(s, 2, query.mnc);
        sqlite3_bind_int64(s, 3, cell.lac);
        sqlite3_bind_int64(s, 4, cell.cellId);
        sqlite3_bind_text(s, 5, cell.radio.data(), static_cast<int>(cell.radio.size()),
                          SQLITE_STATIC);
        const int result = sqlite3_step(s);
        if (result == SQLITE_ROW) {
            cell.location.range = sqlite3_column_int64(s, 0);
            cell.location.samples = sqlite3_column_int64(s, 1);
        }
        sqlite3_reset(s);
        if (result != SQLITE_ROW) {
            failReading("cannot read a cell found nearby");
        }
    }
    return cells;
}

std::int64_t CellReader::count()
{
    releaseSnapshot();
    Statement statement(
        connection_.get(),
        "SELECT coalesce((SELECT cells FROM summary), (SELECT count(*) FROM cells))");
    if (sqlite3_step(statement.get()) != SQLITE_ROW) {
        connection_.raise("cannot count the cells");
    }
    return sqlite3_column_int64(statement.get(), 0);
}

} // namespace cellsvc
