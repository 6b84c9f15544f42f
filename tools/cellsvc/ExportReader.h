#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cellsvc
{

// Reads an export line by line, plain or gzip-compressed (told apart by its first bytes, not
// its name), through a fixed-size buffer: memory does not grow with the file. The file is opened
// once and read from its start to its end, so a pipe (/dev/stdin) reads as the file would.
class ExportReader
{
public:
    // Throws std::runtime_error when the file cannot be opened, or is packed in a way zlib does
    // not read (its first block is read here to tell).
    explicit ExportReader(const std::string& path);
    ExportReader(const ExportReader&) = delete;
    ExportReader& operator=(const ExportReader&) = delete;
    ~ExportReader();

    // The next line without its line break; false at the end. A line longer than the buffer
    // comes back cut short, with `truncated` set; the rest of it is skipped.
    bool next(std::string_view& line, bool& truncated);
    // 1-based number of the line last returned.
    std::int64_t lineNumber() const { return lineNumber_; }
    // Bytes of the file consumed so far and in all, for progress; both 0 for a pipe, which has
    // neither a size nor a position.
    std::int64_t bytesConsumed() const;
    std::int64_t fileSize() const { return fileSize_; }

private:
    bool fill();

    void* file_ = nullptr; // gzFile
    std::string path_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool skipping_ = false; // inside the tail of an overlong line
    std::int64_t lineNumber_ = 0;
    std::int64_t fileSize_ = 0;
};

} // namespace cellsvc
