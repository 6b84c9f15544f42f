#include "tools/cellsvc/Importer.h"

#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/ExportRow.h"

#include <stdexcept>

namespace cellsvc {
namespace {

constexpr std::int64_t kProgressEvery = 8192;

std::string withoutCarriageReturn(std::string_view line)
{
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return std::string(line);
}

class BadRowLog {
public:
    explicit BadRowLog(ImportResult& result) : result_(result) {}
    void add(std::int64_t line, std::string problem)
    {
        ++result_.bad;
        if (result_.firstBad.size() < kMaxReportedBadRows) {
            result_.firstBad.push_back(BadRow{line, std::move(problem)});
        }
    }

private:
    ImportResult& result_;
};

} // namespace

ImportResult importExport(ExportReader& reader, CellWriter& writer,
                          const std::function<void(const ImportProgress&)>& progress,
                          const std::atomic<bool>& stop)
{
    ImportResult result;
    BadRowLog bad(result);
    CellRecord record;
    std::string problem;
    std::string_view line;
    bool truncated = false;

    writer.begin();
    try {
        while (reader.next(line, truncated)) {
            if (reader.lineNumber() == 1 && looksLikeHeader(line)) {
                if (withoutCarriageReturn(line) != kExportHeader) {
                    throw std::runtime_error("unexpected columns in the header: " +
                                             withoutCarriageReturn(line.substr(0, 300)));
                }
                continue;
            }
            if (line.empty() || line == "\r") {
                continue;
            }
            ++result.rows;
            if (truncated) {
                bad.add(reader.lineNumber(), "line too long");
            } else if (!parseExportRow(line, record, problem)) {
                bad.add(reader.lineNumber(), problem);
            } else {
                ++(writer.upsert(record) ? result.stored : result.keptNewer);
            }
            if (result.rows % kProgressEvery == 0) {
                if (stop.load(std::memory_order_relaxed)) {
                    result.interrupted = true;
                    break;
                }
                if (progress) {
                    progress({result.rows, reader.bytesConsumed(), reader.fileSize()});
                }
            }
        }
        if (!result.interrupted && stop.load()) {
            result.interrupted = true;
        }
    } catch (...) {
        writer.rollback();
        throw;
    }
    if (result.interrupted) {
        writer.rollback();
        result.stored = 0;
        result.keptNewer = 0;
        return result;
    }
    writer.commit();
    if (progress) {
        progress({result.rows, reader.fileSize(), reader.fileSize()});
    }
    return result;
}

} // namespace cellsvc
