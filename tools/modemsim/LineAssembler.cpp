#include "tools/modemsim/LineAssembler.h"

namespace modemsim
{

std::optional<QByteArray> LineAssembler::feed(char byte)
{
    if (byte == '\r') {
        const bool keep = !overflowed_;
        QByteArray line;
        line.swap(current_);
        overflowed_ = false;
        if (!keep)
            return std::nullopt;
        return line;
    }
    if (byte == '\n' && current_.isEmpty())
        return std::nullopt;
    if (overflowed_)
        return std::nullopt;
    if (current_.size() >= kMaxLineLength) {
        current_.clear();
        overflowed_ = true;
        return std::nullopt;
    }
    current_.append(byte);
    return std::nullopt;
}

void LineAssembler::reset()
{
    current_.clear();
    overflowed_ = false;
}

} // namespace modemsim
