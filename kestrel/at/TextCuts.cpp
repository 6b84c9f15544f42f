#include "kestrel/at/TextCuts.h"

#include <algorithm>

namespace at
{

int position(const QString& text, const QString& what, int from)
{
    const qsizetype found = text.indexOf(what, std::max(from, 1) - 1, Qt::CaseSensitive);
    return found < 0 ? 0 : static_cast<int>(found) + 1;
}

std::optional<QString> cut(const QString& text, int start, int length)
{
    if (start < 1 || length < 0) {
        return std::nullopt;
    }
    if (start > text.size()) {
        return QString();
    }
    return text.mid(start - 1, length);
}

std::optional<QString> replyLine(const QString& text, const QString& tag, int from)
{
    const int start = position(text, tag, from);
    if (start == 0) {
        return std::nullopt;
    }
    const int lineFeed = position(text, QStringLiteral("\n"), start);
    const int length = lineFeed == 0 ? static_cast<int>(text.size()) : lineFeed - start + 1;
    return text.mid(start - 1, length);
}

} // namespace at
