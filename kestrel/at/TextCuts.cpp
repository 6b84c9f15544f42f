#include "kestrel/at/TextCuts.h"

namespace at
{

std::optional<QString> replyLine(const QString& text, const QString& tag, int from)
{
    const int start = position(text, tag, from);
    if (start == 0) {
        return std::nullopt;
    }
    const int lineFeed = position(text, QStringLiteral("\n"), start);
    const int length = lineFeed == 0 ? static_cast<int>(text.size()) : lineFeed - start + 1;
    return cut(text, start, length);
}

} // namespace at
