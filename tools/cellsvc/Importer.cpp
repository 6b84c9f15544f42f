#include "tools/cellsvc/Importer.h"

#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/ExportRow.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace cellsvc
{
namespace
{

std::string withoutCarriageReturn(std::string_view line)
{
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return std::string(line);
}

// A parsed row that owns its radio text, so that it can outlive the reader's buffer.
struct Row {
    CellRecord record; // its radio is pointed at `radio` when stored
    std::array<char, 8> radio;
    std::uint8_t radioLength;

    std::string_view radioText() const { return {radio.data(), radioLength}; }
};

// Rows are stored in key order, a batch at a time: consecutive inserts then land on the same
// or neighbouring pages of the table's B-tree instead of all over it, which is what makes an
// export in its own order (by area and time, not by key) slow to load. Batches are bounded, so
// memory stays the same whatever the file's size.
struct Batch {
    static constexpr std::size_t kRows = 1 << 16;

    std::vector<Row> rows;
    ImportProgress progress;

    void add(const CellRecord& record)
    {
        Row row{record, {}, static_cast<std::uint8_t>(record.radio.size())};
        record.radio.copy(row.radio.data(), row.radio.size());
        rows.push_back(row);
    }

    void sort()
    {
        // Stable, so that of two rows with the same key the later one is stored last.
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            const CellRecord& x = a.record;
            const CellRecord& y = b.record;
            return std::tuple(x.mcc, x.net, x.area, x.cell, a.radioText()) <
                   std::tuple(y.mcc, y.net, y.area, y.cell, b.radioText());
        });
    }
};

double threadCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Hands batches from the reading thread to the storing one. At most two wait, which bounds
// memory and lets reading run ahead of storing by that much.
class BatchQueue
{
public:
    // False when the consumer gave up; the producer then stops.
    bool push(Batch batch)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return batches_.size() < 2 || abandoned_; });
        if (abandoned_) {
            return false;
        }
        batches_.push_back(std::move(batch));
        changed_.notify_all();
        return true;
    }

    // The producer is done, after an error when `error` is set.
    void finish(std::exception_ptr error = nullptr)
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        error_ = error;
        changed_.notify_all();
    }

    // Nothing when the producer finished and all was taken; rethrows the producer's error.
    std::optional<Batch> pop()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !batches_.empty() || finished_; });
        if (batches_.empty()) {
            if (error_) {
                std::rethrow_exception(error_);
            }
            return std::nullopt;
        }
        Batch batch = std::move(batches_.front());
        batches_.pop_front();
        changed_.notify_all();
        return batch;
    }

    void abandon()
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> batches_;
    bool finished_ = false;
    bool abandoned_ = false;
    std::exception_ptr error_;
};

// Reads and parses the export on its own thread, sorting each batch before handing it on:
// inflating, splitting and parsing then overlap with SQLite's work on the other core.
class BatchReader
{
public:
    BatchReader(ExportReader& reader, BatchQueue& queue, ImportResult& counts)
        : reader_(reader), queue_(queue), counts_(counts)
    {
    }

    void run()
    {
        try {
            readAll();
            counts_.readingSeconds = threadCpuSeconds();
            queue_.finish();
        } catch (...) {
            queue_.finish(std::current_exception());
        }
    }

private:
    void readAll()
    {
        Batch batch = fresh();
        CellRecord record;
        std::string problem;
        std::string_view line;
        bool truncated = false;
        while (reader_.next(line, truncated)) {
            if (reader_.lineNumber() == 1 && looksLikeHeader(line)) {
                if (withoutCarriageReturn(line) != kExportHeader) {
                    throw std::runtime_error("unexpected columns in the header: " +
                                             withoutCarriageReturn(line.substr(0, 300)));
                }
                continue;
            }
            if (line.empty() || line == "\r") {
                continue;
            }
            ++counts_.rows;
            if (truncated) {
                addBad("line too long");
            } else if (!parseExportRow(line, record, problem)) {
                addBad(problem);
            } else {
                batch.add(record);
                if (batch.rows.size() == Batch::kRows && !handOver(batch)) {
                    return;
                }
            }
        }
        handOver(batch);
    }

    Batch fresh() const
    {
        Batch batch;
        batch.rows.reserve(Batch::kRows);
        return batch;
    }

    bool handOver(Batch& batch)
    {
        batch.sort();
        batch.progress = {counts_.rows, reader_.bytesConsumed(), reader_.fileSize()};
        const bool taken = queue_.push(std::move(batch));
        batch = fresh();
        return taken;
    }

    void addBad(std::string problem)
    {
        ++counts_.bad;
        if (counts_.firstBad.size() < kMaxReportedBadRows) {
            counts_.firstBad.push_back(BadRow{reader_.lineNumber(), std::move(problem)});
        }
    }

    ExportReader& reader_;
    BatchQueue& queue_;
    ImportResult& counts_; // rows, bad and firstBad: written here, read after the join
};

// Deletes a file being built unless told it is finished.
class StagingFile
{
public:
    explicit StagingFile(std::string path) : path_(std::move(path)) { std::remove(path_.c_str()); }
    StagingFile(const StagingFile&) = delete;
    StagingFile& operator=(const StagingFile&) = delete;
    ~StagingFile()
    {
        if (!path_.empty()) {
            std::remove(path_.c_str());
        }
    }
    const std::string& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    std::string path_;
};

[[noreturn]] void failOn(const std::string& path, const char* what)
{
    if (errno == ENOSPC || errno == EDQUOT) {
        throw std::runtime_error("the disk holding " + path +
                                 " is full; free some space or choose a database on another "
                                 "disk (nothing was imported)");
    }
    throw std::runtime_error("cannot " + std::string(what) + " " + path + ": " +
                             std::strerror(errno));
}

// Removes the files "<database>.importing-<pid>" that imports killed before they finished left
// behind, those of processes that no longer run.
void removeStaleStagingFiles(const std::string& database)
{
    const std::filesystem::path target = std::filesystem::absolute(database);
    const std::string prefix = target.filename().string() + ".importing-";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix)) {
            continue;
        }
        const std::string pidText = name.substr(prefix.size());
        char* end = nullptr;
        const long pid = std::strtol(pidText.c_str(), &end, 10);
        if (pidText.empty() || *end != '\0' || pid <= 0) {
            continue;
        }
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

void syncToDisk(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        failOn(path, "sync");
    }
    ::close(fd);
}

// Moves the finished file to its name, which must still be free, and makes that last.
void publish(const std::string& staging, const std::string& database)
{
    syncToDisk(staging, 0);
    // A log without its database (deleted by hand) would be replayed into the new file.
    for (const char* suffix : {"-wal", "-shm"}) {
        std::remove((database + suffix).c_str());
    }
    if (::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, database.c_str(), RENAME_NOREPLACE) != 0) {
        failOn(database, "give the imported file the name");
    }
    const std::filesystem::path parent = std::filesystem::absolute(database).parent_path();
    syncToDisk(parent.string(), O_DIRECTORY);
}

} // namespace

ImportResult importFile(const std::string& exportPath, const std::string& database, int cacheMiB,
                        const std::function<void(const ImportProgress&)>& progress,
                        const std::atomic<bool>& stop, bool replace)
{
    ExportReader reader(exportPath);
    removeStaleStagingFiles(database);
    if (std::filesystem::exists(database)) {
        CellWriter writer(database, cacheMiB, CellWriter::Mode::Shared);
        if (replace) {
            writer.replaceAll();
        }
        // Done, stopped or failed: the log goes back into the file, so that no stale log of
        // a large update stays beside it.
        try {
            ImportResult result = importExport(reader, writer, progress, stop);
            writer.checkpoint();
            return result;
        } catch (...) {
            writer.checkpoint();
            throw;
        }
    }
    StagingFile staging(database + ".importing-" + std::to_string(::getpid()));
    ImportResult result;
    try {
        CellWriter writer(staging.path(), cacheMiB, CellWriter::Mode::Private);
        result = importExport(reader, writer, progress, stop);
        if (result.interrupted || result.empty) {
            return result;
        }
        writer.finishPrivate();
    } catch (const DatabaseError& e) {
        // The user named the database; the file built aside is ours.
        std::string message = e.what();
        if (const auto at = message.find(staging.path()); at != std::string::npos) {
            message.replace(at, staging.path().size(), database);
        }
        throw DatabaseError(message);
    }
    publish(staging.path(), database);
    staging.keep();
    return result;
}

ImportResult importExport(ExportReader& reader, CellWriter& writer,
                          const std::function<void(const ImportProgress&)>& progress,
                          const std::atomic<bool>& stop)
{
    ImportResult result;
    ImportResult counts;
    BatchQueue queue;
    const double storingBefore = threadCpuSeconds();
    BatchReader batchReader(reader, queue, counts);

    writer.begin();
    std::thread reading([&batchReader] { batchReader.run(); });
    try {
        while (std::optional<Batch> batch = queue.pop()) {
            if (stop.load()) {
                break;
            }
            for (Row& row : batch->rows) {
                row.record.radio = row.radioText();
                ++(writer.upsert(row.record) ? result.stored : result.keptNewer);
            }
            if (progress) {
                progress(batch->progress);
            }
        }
        result.interrupted = result.interrupted || stop.load();
    } catch (...) {
        queue.abandon();
        reading.join();
        writer.rollback();
        throw;
    }
    queue.abandon();
    reading.join();
    result.rows = counts.rows;
    result.bad = counts.bad;
    result.firstBad = std::move(counts.firstBad);

    result.empty = result.stored + result.keptNewer == 0;
    if (result.interrupted || result.empty) {
        writer.rollback();
        result.stored = 0;
        result.keptNewer = 0;
        return result;
    }
    if (progress) {
        progress({result.rows, reader.fileSize(), reader.fileSize(), true});
    }
    writer.commit();
    result.storingSeconds = threadCpuSeconds() - storingBefore;
    result.readingSeconds = counts.readingSeconds;
    return result;
}

} // namespace cellsvc
