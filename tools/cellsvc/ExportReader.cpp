#include "tools/cellsvc/ExportReader.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace cellsvc
{
namespace
{

constexpr std::size_t kBufferSize = 1 << 20;      // lines longer than this are not rows
constexpr unsigned kInflateBufferSize = 1u << 18; // zlib's own input buffer

gzFile asGz(void* file)
{
    return static_cast<gzFile>(file);
}

// Packings of an export that zlib does not read, told by their first bytes.
struct Packing {
    std::string_view magic;
    const char* name;
    const char* unpack;
};
constexpr std::array<Packing, 4> kOtherPackings{{
    {"BZh", "bzip2", "bunzip2 -k"},
    {"\xfd"
     "7zXZ",
     "xz", "unxz -k"},
    {"\x28\xb5\x2f\xfd", "zstd", "unzstd"},
    {"PK\x03\x04", "zip", "unzip"},
}};

// Refuses a file packed in a way zlib would read as plain text, which would make every row bad.
// `start` is the reader's own first block, so a pipe is checked without losing a byte of it.
void refuseOtherPackings(const std::string& path, std::string_view start)
{
    for (const Packing& packing : kOtherPackings) {
        if (start.starts_with(packing.magic)) {
            throw std::runtime_error(path + " is packed with " + packing.name +
                                     ", which cellsvc does not read; unpack it (" + packing.unpack +
                                     " " + path +
                                     ") and import the file that comes out, or import the "
                                     "gzip export (.csv.gz) instead");
        }
    }
}

} // namespace

ExportReader::ExportReader(const std::string& path) : path_(path), buffer_(kBufferSize)
{
    // One descriptor serves the checks and the reading: a pipe (/dev/stdin) cannot be opened
    // again at its start, so whatever is looked at first must stay the reader's.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot read the export " + path + ": " + std::strerror(errno) +
                                 "; check its name");
    }
    struct stat info {
    };
    const bool known = ::fstat(fd, &info) == 0;
    if (known && S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw std::runtime_error(path + " is a folder; give the export file inside it");
    }
    // A pipe has no size; progress then counts rows only.
    fileSize_ = known && S_ISREG(info.st_mode) ? info.st_size : 0;
    // zlib reads a stream without the gzip signature as it is, so one path serves both.
    file_ = gzdopen(fd, "rb");
    if (!file_) {
        ::close(fd);
        throw std::runtime_error("cannot read the export " + path + ": " + std::strerror(errno));
    }
    gzbuffer(asGz(file_), kInflateBufferSize);
    try {
        fill();
        if (gzdirect(asGz(file_)) != 0) {
            refuseOtherPackings(path, std::string_view(buffer_.data(), end_));
        }
    } catch (...) {
        gzclose(asGz(file_));
        throw;
    }
}

ExportReader::~ExportReader()
{
    if (file_) {
        gzclose(asGz(file_));
    }
}

std::int64_t ExportReader::bytesConsumed() const
{
    const auto offset = gzoffset(asGz(file_));
    return offset < 0 ? 0 : static_cast<std::int64_t>(offset);
}

// Moves what is left to the front and reads more after it. False when nothing more came.
bool ExportReader::fill()
{
    if (eof_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const int read =
        gzread(asGz(file_), buffer_.data() + end_, static_cast<unsigned>(buffer_.size() - end_));
    if (read < 0) {
        int code = 0;
        const char* message = gzerror(asGz(file_), &code);
        throw std::runtime_error("cannot read the export " + path_ + ": " + message +
                                 "; download it again (nothing was imported)");
    }
    if (read == 0) {
        // A gzip stream cut short (an interrupted download) ends without an error from
        // gzread; only gzerror tells. Its rows would pass for a complete export.
        int code = Z_OK;
        gzerror(asGz(file_), &code);
        if (code != Z_OK) {
            throw std::runtime_error(path_ + " ends early: the compressed data is cut short, "
                                             "as by an interrupted download; download it "
                                             "again (nothing was imported)");
        }
        eof_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(read);
    return true;
}

bool ExportReader::next(std::string_view& line, bool& truncated)
{
    truncated = false;
    while (true) {
        const char* start = buffer_.data() + begin_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        if (newline && skipping_) {
            // The tail of an overlong line ends here.
            begin_ += static_cast<std::size_t>(newline - start) + 1;
            skipping_ = false;
            continue;
        }
        if (newline) {
            line = std::string_view(start, static_cast<std::size_t>(newline - start));
            begin_ += line.size() + 1;
            ++lineNumber_;
            return true;
        }
        if (skipping_) {
            begin_ = end_ = 0;
        } else if (begin_ == 0 && end_ == buffer_.size()) {
            // A line that fills the whole buffer: hand back its start, skip the rest.
            line = std::string_view(buffer_.data(), buffer_.size());
            truncated = true;
            skipping_ = true;
            begin_ = end_ = 0;
            ++lineNumber_;
            return true;
        }
        if (!fill()) {
            if (begin_ == end_ || skipping_) {
                return false;
            }
            // The last line has no line break.
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            ++lineNumber_;
            return true;
        }
    }
}

} // namespace cellsvc
