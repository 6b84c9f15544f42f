#pragma once

#include <QString>
#include <optional>

// Searching and cutting text by position, the arithmetic the modem's reply steps and the
// locator's page reading are written in: positions count from 1, 0 means "not found", and a
// search is a plain case-sensitive substring search. A position found is fed back as the start
// of the next search or cut, so after a miss (0) the next search starts again at the top. The
// texts are a reply or a page of at most 1 MiB, so positions are ints.
namespace textcuts
{

// Position of the first occurrence of `what` at or after position `from`, or 0; a `from` past
// the end finds nothing. A `from` below 1 is taken as 1 (not counted back from the end).
int position(const QString& text, const QString& what, int from = 1);

// The `length` characters from position `start`, fewer when the text ends first, empty when
// `start` lies past the end. A start below 1 or a negative length cannot be cut: none, and the
// caller keeps what it had.
std::optional<QString> cut(const QString& text, int start, int length);

} // namespace textcuts
