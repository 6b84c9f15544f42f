#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cellsvc
{

class CellWriter;
class ExportReader;

struct BadRow {
    std::int64_t line = 0; // 1-based line number in the export
    std::string problem;
};

struct ImportProgress {
    std::int64_t rows = 0;      // data lines read so far
    std::int64_t bytesRead = 0; // of the file as stored (compressed or not)
    std::int64_t fileSize = 0;  // 0 when not known: a pipe
    bool committing = false;    // all rows read; the transaction is being written out
};

struct ImportResult {
    std::int64_t rows = 0;      // data lines read (header and blank lines not counted)
    std::int64_t stored = 0;    // rows inserted or updated
    std::int64_t keptNewer = 0; // rows older than the stored row of the same key
    std::int64_t bad = 0;
    std::vector<BadRow> firstBad; // the first kMaxReportedBadRows of them
    bool interrupted = false;     // stopped on request; nothing was committed
    bool empty = false;           // not one usable row (an empty or wrong file): not committed
    double storingSeconds = 0;    // processor time of the storing thread (this one)
    double readingSeconds = 0;    // processor time of the reading and parsing thread
};

constexpr std::size_t kMaxReportedBadRows = 10;

// Streams an export into the database as one transaction, reading and parsing on a second
// thread while this one stores. Bad rows are counted and skipped, never fatal. `progress` is
// called after each batch of rows (tens of thousands); when `stop` turns true the transaction
// is rolled back and the previous data stays as it was, and so it does when not one row could
// be used (`empty`): that is the wrong file rather than an export. A header with other columns than
// the export's is an error (std::runtime_error): its rows would be misread.
ImportResult importExport(ExportReader& reader, CellWriter& writer,
                          const std::function<void(const ImportProgress&)>& progress,
                          const std::atomic<bool>& stop);

// Imports the export file into `database`. An existing database takes the import as one
// transaction beside its readers; with `replace` its cells are all replaced by the export's. A new
// one is built in a private file beside it, which takes the database's name only when complete; an
// unfinished one is deleted. Either way a failed or stopped import leaves what was there before.
// Throws on errors of files or the database.
ImportResult importFile(const std::string& exportPath, const std::string& database, int cacheMiB,
                        const std::function<void(const ImportProgress&)>& progress,
                        const std::atomic<bool>& stop, bool replace = false);

} // namespace cellsvc
