#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/ExportRow.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ProgressLine.h"
#include "tools/cellsvc/tests/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace cellsvc;
using namespace cellsvc::test;

namespace
{

const CellKey kMoscow{250, 1, 78, 314};
const std::string kHeader = std::string(kExportHeader) + "\n";
// The Moscow cell moved to latitude 55.5, newer than the sample's row.
const std::string kMovedMoscow = "GSM,250,1,78,314,0,37.5,55.5,900,20,1,1300000000,1700000001,-80";

ImportResult import(const std::string& file, const std::string& database, bool replace = false)
{
    return importFile(file, database, 16, {}, std::atomic<bool>{false}, replace);
}

// Bad rows are counted and the first ten reported by line; a file without one usable row is
// not committed.
TEST(Import, ReportsBadRowsByLine)
{
    TempDir dir;
    const ImportResult plain = import(
        dir.write("plain.csv", "GSM,250,1,78,314,0,37.6173,55.7558,1200,14,1,1,2,-81\r\n" +
                                   std::string(3 << 20, 'x') + "\r\n" +
                                   "GSM,250,1,78,315,0,37.6173,55.7558,1200,14,1,1,2,-81\r\n\r\n"
                                   "GSM,250,1,78,316,0,37.6173,55.7558,1200,14,1,1,2,-81"),
        dir.file("plain.db"));
    EXPECT_EQ(plain.rows, 4);
    EXPECT_EQ(plain.stored, 3);
    ASSERT_EQ(plain.firstBad.size(), 1u);
    EXPECT_EQ(plain.firstBad[0].line, 2);

    std::string rows = kHeader;
    for (int i = 0; i < 25; ++i) {
        rows += "junk\n";
    }
    const ImportResult junk = import(dir.write("junk.csv", rows), dir.file("junk.db"));
    EXPECT_EQ(junk.bad, 25);
    ASSERT_EQ(junk.firstBad.size(), kMaxReportedBadRows);
    EXPECT_EQ(junk.firstBad.back().line, 11);
    EXPECT_TRUE(junk.empty);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"junk.csv", "plain.csv", "plain.db"}));
}

// The rest of a line longer than the reader's buffer is skipped up to its line end, and not a
// byte further: the next line comes whole.
TEST(Import, ReadsTheLineAfterAnOverlongOneWhole)
{
    TempDir dir;
    ExportReader reader(dir.write("long.csv", "first\n" + std::string(3 << 20, 'x') + "\nnext\n"));
    std::vector<std::pair<std::string, bool>> lines; // the start of each line, cut short
    std::string_view line;
    bool truncated = false;
    while (reader.next(line, truncated)) {
        lines.emplace_back(line.substr(0, 5), truncated);
    }
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, bool>>{
                         {"first", false}, {"xxxxx", true}, {"next", false}}));
}

// An export saved with CR LF line ends: its header is still the expected one.
TEST(Import, TakesAHeaderEndingInCrLf)
{
    TempDir dir;
    // Appended one by one: GCC 12 warns wrongly of a literal + string chain here (PR 105329).
    std::string rows(kExportHeader);
    rows += "\r\n";
    rows += kMovedMoscow;
    rows += "\r\n";
    EXPECT_EQ(import(dir.write("crlf.csv", rows), dir.file("crlf.db")).stored, 1);
}

// Rows go to the database a batch at a time: every batch of a long export is stored.
TEST(Import, StoresEveryBatchOfALongExport)
{
    TempDir dir;
    std::string rows = kHeader;
    constexpr int kCells = (1 << 16) + 10; // one batch and a few rows more
    for (int cell = 1; cell <= kCells; ++cell) {
        rows += "UMTS,250,1,78," + std::to_string(cell) + ",0,37.6,55.7,900,20,1,1,2,-80\n";
    }
    const std::string database = dir.file("long.db");
    EXPECT_EQ(import(dir.write("long.csv", rows), database).stored, kCells);
    EXPECT_TRUE(CellReader(database).find({250, 1, 78, kCells}).has_value());
}

// A writer that dies in the middle of its transaction (a crash, kill -9, power cut) must leave
// the committed data readable and the file usable.
TEST(Import, ACrashedImportKeepsThePreviousData)
{
    TempDir dir;
    const std::string database = dir.file("cells.db");
    import(kSample, database);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CellWriter writer(database, 1); // a small cache makes pages spill into the log
        writer.begin();
        CellRecord record;
        std::string problem;
        parseExportRow(kMovedMoscow, record, problem);
        for (std::int64_t cell = 0; cell < 50000; ++cell) {
            record.cell = cell;
            writer.upsert(record);
        }
        ::_exit(0); // no commit, no rollback, no close
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    CellReader reader(database);
    EXPECT_EQ(reader.count(), 612);
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.7558);
    reader.releaseSnapshot(); // or the import's checkpoint waits for it, as for a reader busy
    EXPECT_EQ(import(kSample, database).stored, 612) << "the file takes the next import";
}

// A new database is built aside, leaving nothing else. An import stopped before its first batch
// or as its last one is stored reports so and stores nothing: it builds no new database, and an
// existing one keeps its data.
TEST(ImportFile, BuildsAsideAndAStoppedImportLeavesWhatWasThere)
{
    TempDir dir;
    std::string rows = kHeader;
    // Four batches: a stop before the first finds the reading thread waiting to hand one over.
    constexpr int kCells = 3 * (1 << 16) + 1;
    for (int i = 0; i < kCells; ++i) {
        rows += "GSM,250,1,78," + std::to_string(i) + ",0,1,1,1,1,1,1,1800000000,0\n";
    }
    const std::string file = dir.write("big.csv", rows);
    const std::string database = dir.file("cells.db");
    const auto stoppedAt = [&](std::int64_t rowsRead) {
        std::atomic<bool> stop{rowsRead == 0};
        const auto progress = [&](const ImportProgress& p) { stop = stop || p.rows == rowsRead; };
        const ImportResult result = importFile(file, database, 16, progress, stop);
        return result.interrupted && result.stored + result.keptNewer == 0;
    };
    for (const std::int64_t at : {0, kCells})
        EXPECT_TRUE(stoppedAt(at)) << "stopped at row " << at;
    EXPECT_EQ(dir.names(), std::vector<std::string>{"big.csv"});

    dir.write("cells.db-wal", std::string(4096, 'x')); // left over from a deleted database
    EXPECT_EQ(import(kSample, database).stored, 612);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"big.csv", "cells.db"}));
    for (const std::int64_t at : {0, kCells})
        EXPECT_TRUE(stoppedAt(at)) << "stopped at row " << at;
    CellReader reader(database);
    EXPECT_EQ(reader.count(), 612);
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.7558);
}

TEST(ImportFile, RemovesWhatKilledImportsLeftThenUpdatesInPlaceOrReplaces)
{
    TempDir dir;
    const std::string database = dir.file("cells.db");
    // Above the kernel's largest process id, so surely not running.
    dir.write("cells.db.importing-4194305", "left by a killed import");
    dir.write("cells.db.importing-1", "init runs, so this one is not stale");
    import(kSample, database);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"cells.db", "cells.db.importing-1"}));

    // An existing database takes the update by key in place, beside a reader that stays open
    // and lets go of its snapshot when idle, as the server's do.
    CellReader reader(database, std::chrono::milliseconds(0));
    EXPECT_TRUE(reader.find(kMoscow));
    reader.releaseSnapshot();
    const ImportResult again = import(
        dir.write("update.csv", kHeader + kMovedMoscow +
                                    "\n"
                                    // older than the stored row: ignored
                                    "UMTS,1,1,7,4242,0,9,9,1000,99,1,1500000000,1599999999,-90\n"
                                    "LTE,250,1,78,316,0,37.4,55.4,500,2,1,1,2,-90\n"),
        database);
    EXPECT_EQ(again.stored, 2);
    EXPECT_EQ(again.keptNewer, 1);
    EXPECT_EQ(reader.count(), 613);
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.5);
    EXPECT_EQ(reader.find({1, 1, 7, 4242})->samples, 40);
    EXPECT_TRUE(reader.find({250, 1, 78, 316}));

    const std::string other =
        dir.write("other.csv", "radio,mcc,mnc,lac,cid,lon,lat\nGSM,250,1,78,314,1,2\n");
    EXPECT_THROW(import(other, database), std::runtime_error) << "its columns would be misread";
    EXPECT_EQ(reader.count(), 613);

    import(dir.write("moved.csv", kMovedMoscow), database, true);
    EXPECT_EQ(reader.count(), 1);
}

// A cell listed once per radio answers with the row of most samples, then the most recently
// updated, then the first radio by name: the same database always gives the same answer.
TEST(CellReader, ChoosesAmongACellsRadiosByTheirSamplesThenAge)
{
    TempDir dir;
    const std::string database = dir.file("radios.db");
    // Each row's range is a hundred times its latitude.
    import(dir.write("radios.csv", "GSM,1,1,9,1,0,0,1,100,5,1,1,50,-90\n"
                                   "LTE,1,1,9,1,0,0,2,200,9,1,1,40,-90\n"
                                   "UMTS,1,1,9,1,0,0,3,300,9,1,1,60,-90\n"
                                   "UMTS,1,1,9,2,0,0,4,400,4,1,1,10,-90\n"
                                   "LTE,1,1,9,2,0,0,5,500,4,1,1,10,-90\n"
                                   "NR,1,1,9,3,0,0,6,600,1,1,1,10,-90\n"),
           database);
    CellReader reader(database);
    // Each cell and the latitude of the row that must answer; none for cell 4.
    for (const auto& [cell, latitude] : {std::pair{1, 3.0}, {2, 5.0}, {3, 6.0}, {4, 0.0}}) {
        const auto found = reader.find({1, 1, 9, cell});
        EXPECT_EQ(found ? found->latitude : 0.0, latitude) << cell;
        EXPECT_EQ(found ? found->range : 0, latitude * 100) << cell;
    }
}

// The import's progress line: the bar, the percentage, rows in thousands, the rate and the time
// left, which goes once everything is read; from a pipe, of unknown size, no bar.
TEST(ProgressLine, ShowsTheBarRowsRateAndTimeLeft)
{
    const struct {
        ImportProgress progress; // rows, bytes read, file size, committing
        double seconds;
        const char* line;
    } rows[] = {
        {{0, 0, 1, false}, 0, "[--------------------]   0%  0 rows"},
        {{1000, 0, 0, true}, 2, "1,000 rows  500 rows/s  writing the database"},
        {{1234567, 50, 100, false},
         10,
         "[##########----------]  50%  1,234,567 rows  123,456 rows/s  about 0:10 left"},
        {{1000, 100, 100, false}, 2, "[####################] 100%  1,000 rows  500 rows/s"},
        {{1000, 100, 100, true},
         2,
         "[####################] 100%  1,000 rows  500 rows/s  writing the database"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(progressLine(row.progress, row.seconds), row.line);
    }
    EXPECT_EQ(groupThousands(-1234567), "-1,234,567");
}

} // namespace
