#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/ExportRow.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/tests/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace cellsvc;
using namespace cellsvc::test;

namespace
{

const CellKey kMoscow{250, 1, 78, 314};
const std::string kHeader = std::string(kExportHeader) + "\n";

// The Moscow cell moved to latitude 10, newer than the sample's row.
CellRecord movedMoscowCell()
{
    CellRecord moved;
    std::string problem;
    parseExportRow("GSM,250,1,78,314,0,37,10,1,14,1,1,1800000000,0", moved, problem);
    return moved;
}

ImportResult import(const std::string& file, const std::string& database,
                    const std::atomic<bool>& stop = std::atomic<bool>{false})
{
    ExportReader reader(file);
    CellWriter writer(database, 16);
    return importExport(reader, writer, {}, stop);
}

class SampleImport : public testing::Test
{
protected:
    void SetUp() override { import(kSample, database); }

    TempDir dir;
    std::string database = dir.file("cells.db");
};

TEST_F(SampleImport, TheRadioWithMostSamplesWins)
{
    // Keys the sample lists under two radios, and the larger sample count of each pair.
    const std::vector<std::pair<CellKey, std::int64_t>> shared{
        {{1, 1, 7, 4242}, 40}, {{1, 1, 7, 4243}, 25}, {{1, 1, 8, 100}, 61}};
    CellReader reader(database);
    for (const auto& [key, samples] : shared) {
        SCOPED_TRACE(key.cellId);
        const auto found = reader.find(key);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->samples, samples);
    }
}

TEST_F(SampleImport, ReimportUpdatesByKeyUnlessTheStoredRowIsNewer)
{
    const std::string update = dir.write(
        "update.csv", kHeader +
                          // newer than the stored row: replaces it
                          "GSM,250,1,78,314,0,37.5,55.5,900,20,1,1300000000,1700000001,-80\n"
                          // older than the stored row: ignored
                          "UMTS,1,1,7,4242,0,9,9,1000,99,1,1500000000,1599999999,-90\n"
                          // a new key
                          "LTE,250,1,78,316,0,37.4,55.4,500,2,1,1,2,-90\n");
    const ImportResult again = import(update, database);
    EXPECT_EQ(again.stored, 2);
    EXPECT_EQ(again.keptNewer, 1);
    CellReader reader(database);
    EXPECT_EQ(reader.count(), 393);
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.5);
    EXPECT_EQ(reader.find({1, 1, 7, 4242})->samples, 40);
    EXPECT_TRUE(reader.find({250, 1, 78, 316}));
}

TEST_F(SampleImport, AHeaderWithOtherColumnsIsRefusedAndChangesNothing)
{
    const std::string other =
        dir.write("other.csv", "radio,mcc,mnc,lac,cid,lon,lat\nGSM,250,1,78,314,1,2\n");
    EXPECT_THROW(import(other, database), std::runtime_error);
    EXPECT_EQ(CellReader(database).count(), 392);
}

// A writer that dies in the middle of its transaction (a crash, kill -9, power cut) must leave
// the committed data readable and the file usable.
TEST_F(SampleImport, ACrashedImportKeepsThePreviousData)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CellWriter writer(database, 1); // a small cache makes pages spill into the log
        writer.begin();
        CellRecord record = movedMoscowCell();
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
    EXPECT_EQ(reader.count(), 392);
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.7558);
    EXPECT_EQ(import(kSample, database).stored, 392) << "the file takes the next import";
}

TEST_F(SampleImport, AReaderKeepsItsSnapshotUntilItIsReleased)
{
    CellReader reader(database, std::chrono::hours(1));
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.7558);
    {
        CellWriter writer(database, 16);
        writer.begin();
        writer.upsert(movedMoscowCell());
        writer.commit();
    }
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.7558);
    reader.releaseSnapshot();
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 10);
}

TEST(Import, PlainFileWithoutHeaderWithCrLfAndAnOverlongLine)
{
    TempDir dir;
    const std::string file =
        dir.write("plain.csv", "GSM,250,1,78,314,0,37.6173,55.7558,1200,14,1,1,2,-81\r\n" +
                                   std::string(3 << 20, 'x') + "\r\n" +
                                   "GSM,250,1,78,315,0,37.6173,55.7558,1200,14,1,1,2,-81\r\n\r\n"
                                   "GSM,250,1,78,316,0,37.6173,55.7558,1200,14,1,1,2,-81");
    const ImportResult result = import(file, dir.file("cells.db"));
    EXPECT_EQ(result.rows, 4);
    EXPECT_EQ(result.stored, 3);
    ASSERT_EQ(result.firstBad.size(), 1u);
    EXPECT_EQ(result.firstBad[0].line, 2);
    EXPECT_EQ(result.firstBad[0].problem, "line too long");
}

TEST(Import, AFileWithNoUsableRowIsNotCommitted)
{
    TempDir dir;
    std::string rows = kHeader;
    for (int i = 0; i < 25; ++i) {
        rows += "junk\n";
    }
    const ImportResult result = importFile(dir.write("junk.csv", rows), dir.file("cells.db"), 16,
                                           {}, std::atomic<bool>{false});
    EXPECT_EQ(result.bad, 25);
    ASSERT_EQ(result.firstBad.size(), kMaxReportedBadRows) << "only the first ten are kept";
    EXPECT_EQ(result.firstBad.back().line, 11);
    EXPECT_TRUE(result.empty);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"junk.csv"});
}

TEST(ImportFile, BuildsANewDatabaseAsideAndLeavesNothingElse)
{
    TempDir dir;
    dir.write("cells.db-wal", std::string(4096, 'x')); // left over from a deleted database
    const ImportResult result =
        importFile(kSample, dir.file("cells.db"), 16, {}, std::atomic<bool>{false});
    EXPECT_EQ(result.stored, 392);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"cells.db"});
    CellReader reader(dir.file("cells.db"));
    EXPECT_EQ(reader.count(), 392);
    EXPECT_TRUE(reader.find(kMoscow));
}

// Stopped, an import builds no new database, and an existing one keeps its data.
TEST(ImportFile, AStoppedImportLeavesWhatWasThere)
{
    TempDir dir;
    std::string rows = kHeader;
    for (int i = 0; i < 100000; ++i) {
        rows += "GSM,250,1,78," + std::to_string(i) + ",0,1,1,1,1,1,1,1800000000,0\n";
    }
    const std::string file = dir.write("big.csv", rows);
    const std::string database = dir.file("cells.db");
    const std::atomic<bool> stop{true};
    EXPECT_TRUE(importFile(file, database, 16, {}, stop).interrupted);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"big.csv"});

    importFile(kSample, database, 16, {}, std::atomic<bool>{false});
    EXPECT_TRUE(importFile(file, database, 16, {}, stop).interrupted);
    CellReader reader(database);
    EXPECT_EQ(reader.count(), 392);
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.7558);
}

TEST(ImportFile, RemovesWhatKilledImportsLeftThenUpdatesInPlaceOrReplaces)
{
    TempDir dir;
    const std::string database = dir.file("cells.db");
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ::waitpid(ended, nullptr, 0);
    dir.write("cells.db.importing-" + std::to_string(ended), "left by a killed import");
    dir.write("cells.db.importing-1", "init runs, so this one is not stale");
    importFile(kSample, database, 16, {}, std::atomic<bool>{false});
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"cells.db", "cells.db.importing-1"}));

    // An existing database takes the update in place, beside a reader that stays open.
    CellReader reader(database, std::chrono::milliseconds(0));
    EXPECT_TRUE(reader.find(kMoscow));
    const std::string update = dir.write(
        "update.csv", "GSM,250,1,78,314,0,37.5,55.5,900,20,1,1300000000,1700000001,-80\n");
    EXPECT_EQ(importFile(update, database, 16, {}, std::atomic<bool>{false}).stored, 1);
    EXPECT_DOUBLE_EQ(reader.find(kMoscow)->latitude, 55.5);
    EXPECT_EQ(reader.count(), 392);

    importFile(update, database, 16, {}, std::atomic<bool>{false}, true);
    EXPECT_EQ(reader.count(), 1);
}

} // namespace
