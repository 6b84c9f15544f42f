#include "tools/cellsvc/ProgressLine.h"

#include <algorithm>
#include <cstdio>

namespace cellsvc
{

std::string groupThousands(std::int64_t number)
{
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return number < 0 ? "-" + digits : digits;
}

std::string progressLine(const ImportProgress& progress, double elapsedSeconds)
{
    // Without a size (a pipe) a bar would sit at 0% to the end: rows and rate alone then.
    const bool sized = progress.fileSize > 0;
    const double fraction =
        sized ? std::clamp(static_cast<double>(progress.bytesRead) / progress.fileSize, 0.0, 1.0)
              : 0.0;
    std::string line;
    if (sized) {
        constexpr int kBarWidth = 20;
        const int filled = static_cast<int>(fraction * kBarWidth);
        line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
               std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "]";
        char percent[16];
        std::snprintf(percent, sizeof percent, " %3d%%  ", static_cast<int>(fraction * 100));
        line += percent;
    }
    line += groupThousands(progress.rows) + " rows";
    if (elapsedSeconds > 0) {
        line += "  " + groupThousands(static_cast<std::int64_t>(progress.rows / elapsedSeconds)) +
                " rows/s";
    }
    if (progress.committing) {
        line += "  writing the database";
    } else if (fraction > 0.01 && fraction < 1) {
        const auto left = static_cast<long>(elapsedSeconds * (1 - fraction) / fraction + 0.5);
        char eta[48];
        std::snprintf(eta, sizeof eta, "  about %ld:%02ld left", left / 60, left % 60);
        line += eta;
    }
    return line;
}

} // namespace cellsvc
