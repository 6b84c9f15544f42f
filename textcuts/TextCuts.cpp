#include "textcuts/TextCuts.h"

#include <algorithm>

namespace textcuts
{

int position(const QString& text, const QString& what, int from)
{
    const qsizetype found = text.indexOf(what, std::max(from, 1) - 1, Qt::CaseSensitive);
    return found < 0 ? 0 : static_cast<int>(found) + 1;
}

std::optional<QString> cut(const QString& text, int start, int length)
{
    if (start < 1 || length < 0)
        return std::nullopt;
    if (start > text.size())
        return QString();
    return text.mid(start - 1, length);
}

} // namespace textcuts
