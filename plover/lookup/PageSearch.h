#pragma once

#include <QString>
#include <optional>

// Text searches of the reply parsing, with positions counted from 1 and 0 for "not found".
namespace lookup
{

// The position of the first occurrence of `what` in `text` at or after position `start`, or 0.
// Plain and case-sensitive. A start beyond the text finds nothing.
qsizetype findFrom(qsizetype start, const QString& text, const QString& what);

// The `count` characters of `text` from position `start` on (fewer at the end of the text).
// A count of 0 gives empty text; a negative count or a start below 1 gives none: the step that
// asked fails.
std::optional<QString> charactersAt(const QString& text, qsizetype start, qsizetype count);

} // namespace lookup
