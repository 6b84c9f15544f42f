#include "plover/lookup/PageSearch.h"

namespace lookup
{

qsizetype findFrom(qsizetype start, const QString& text, const QString& what)
{
    if (start < 1 || start > text.size())
        return 0;
    return text.indexOf(what, start - 1, Qt::CaseSensitive) + 1;
}

std::optional<QString> charactersAt(const QString& text, qsizetype start, qsizetype count)
{
    if (start < 1 || count < 0)
        return std::nullopt;
    if (start > text.size())
        return QString();
    return text.mid(start - 1, count);
}

} // namespace lookup
