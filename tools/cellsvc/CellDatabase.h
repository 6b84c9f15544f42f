#pragma once

#include "tools/cellsvc/CellQuery.h"
#include "tools/cellsvc/ExportRow.h"
#include "tools/cellsvc/LocationReply.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace cellsvc
{

// Any failure of the database; the message says in words what is wrong and what to do, and
// names the file once.
class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The words for SQLite's result `code` (extended or primary) met while doing `what` with the
// database at `path`; `reason` is SQLite's own message, used when nothing better is known, and
// `systemError` the errno behind it, if any.
std::string describeDatabaseFailure(const std::string& path, int code, const std::string& what,
                                    const std::string& reason, int systemError = 0);

// One prepared statement, finalized with its owner.
class Statement
{
public:
    Statement() = default;
    Statement(sqlite3* db, const char* sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_ = nullptr;
};

// An open SQLite connection, closed with its owner.
class Connection
{
public:
    Connection(const std::string& path, int flags);
    Connection(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    sqlite3* get() const { return db_; }
    void execute(const char* sql);
    // The last failure in words (describeDatabaseFailure).
    std::string describe(const std::string& what) const;
    [[noreturn]] void raise(const std::string& what) const;

private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

// Writes an export into the database. Everything between begin() and commit() is one
// transaction in write-ahead-log mode: readers keep seeing the previous data until commit, and
// an import that is interrupted (rollback, crash, kill) leaves the previous data as it was.
class CellWriter
{
public:
    enum class Mode {
        Shared,  // the file may be read meanwhile: write-ahead log, one transaction
        Private, // a new file no one else opens: no log; delete it if the import fails
    };

    // Creates the file and its table when they do not exist yet; refuses a database that holds
    // other tables but no cells, rather than adding to it. cacheMiB bounds the memory SQLite
    // keeps for pages, which is most of what an import uses.
    explicit CellWriter(const std::string& path, int cacheMiB = 256, Mode mode = Mode::Shared);

    // Begins the import's transaction; with replaceAll() first, every stored cell is deleted in
    // it, so that readers see the old cells until the new ones are committed.
    void begin();
    void replaceAll() { replaceAll_ = true; }
    // Inserts the row, or updates the stored row with the same radio, mcc, net, area and cell
    // unless the stored one was updated later than this one. False when the stored row was
    // kept.
    bool upsert(const CellRecord& record);
    void commit();
    void rollback();
    // Folds the write-ahead log back into the database file; a reader that holds an old
    // snapshot makes this a partial checkpoint, which is harmless.
    void checkpoint();
    // After commit() in Private mode: turns the file into what a Shared writer makes.
    void finishPrivate();

private:
    Connection connection_;
    Statement upsert_;
    bool inTransaction_ = false;
    bool replaceAll_ = false;
    std::int64_t rowsUntilReindex_ = 0; // rows stored before the index is dropped (begin)
};

// Builds the index of cell positions that the search around a place uses, when a database
// imported by an older cellsvc lacks it; `starting` is called first when there is work to do
// (it takes seconds per million cells). False when it was there already.
bool addNearIndex(const std::string& path, const std::function<void()>& starting = {});

// Looks cells up in a database opened read-only. One reader serves one thread at a time.
//
// Lookups share one read snapshot for up to `maxSnapshotAge`: starting a read transaction in
// WAL mode costs file locks and stats, several times the lookup itself. A snapshot that old
// is dropped before the next lookup, and releaseSnapshot() drops it while the reader is idle,
// so that a finished import shows within that time and its checkpoint is not held up.
class CellReader
{
public:
    using Clock = std::chrono::steady_clock;

    explicit CellReader(const std::string& path,
                        Clock::duration maxSnapshotAge = std::chrono::milliseconds(200));

    // The row with the most samples among those of any radio with this key, or nothing.
    std::optional<CellLocation> find(const CellKey& key);
    // The network's cells within the radius, nearest first (then by radio, area and cell), at
    // most `limit`.
    std::vector<NearCell> near(const NearQuery& query, std::size_t limit);
    std::int64_t count();
    // Ends the read snapshot if it is older than `age`.
    void releaseSnapshot(Clock::duration age = Clock::duration::zero());

private:
    void useSnapshot();
    [[noreturn]] void failReading(const char* what);
    // Adds the cells within radiusKm of the query's place, in no order.
    void collectNear(const NearQuery& query, double radiusKm, std::vector<NearCell>& cells);

    Connection connection_;
    Statement find_;
    Statement near_;
    Statement rangeAndSamples_;
    Statement begin_;
    Statement end_;
    Clock::duration maxSnapshotAge_;
    std::optional<Clock::time_point> snapshotSince_;
};

} // namespace cellsvc
