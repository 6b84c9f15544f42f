#pragma once

#include <QString>
#include <optional>

// The position arithmetic that the reply steps are written in: positions count from 1, 0 means
// "not found", and every search is a plain case-sensitive substring search. Keeping the steps in
// this arithmetic keeps their off-by-one behaviour on odd replies exactly as designed (a missing
// quote or separator yields 0, and the cuts that follow work with that 0).
namespace at
{

// Position of the first occurrence of `what` at or after position `from` (1-based), or 0.
// A `from` below 1 is taken as 1.
int position(const QString& text, const QString& what, int from = 1);

// The `length` characters from position `start`, fewer when the text ends first, empty when
// `start` lies past the end. A cut with a negative length or a start below 1 cannot be made:
// nullopt, and the caller keeps what it had.
std::optional<QString> cut(const QString& text, int start, int length);

// The reply line that starts at the first `tag` ("+CSQ:") of the text at or after position `from`:
// from the tag up to and
// including the next line feed, or to the end of the text when the line is not complete. What
// stands before the tag (an echo, an unsolicited report, a leftover of an earlier reply) is not
// part of it. nullopt when the tag does not occur.
//   replyLine("^BOOT:20952211,0,0,0,72\r\n\r\n+CSQ: 20,99\r\n\r\nOK\r\n", "+CSQ:")
//     == "+CSQ: 20,99\r\n"
std::optional<QString> replyLine(const QString& text, const QString& tag, int from = 1);

} // namespace at
