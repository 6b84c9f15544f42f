#pragma once

#include "textcuts/TextCuts.h"

#include <QString>
#include <optional>

// The reply steps are written in the 1-based search and cut of textcuts/TextCuts.h: positions
// count from 1, 0 means "not found". Keeping the steps in this arithmetic keeps their behaviour
// on odd replies: a missing quote or separator yields 0, and the cuts that follow work with
// that 0.
namespace at
{

using textcuts::cut;
using textcuts::position;

// The reply line that starts at the first `tag` ("+CSQ:") of the text at or after position
// `from`: from the tag up to and including the next line feed, or to the end of the text when
// the line is not complete. What stands before the tag (an echo, an unsolicited report, a
// leftover of an earlier reply) is not part of it. nullopt when the tag does not occur.
//   replyLine("^BOOT:20952211,0,0,0,72\r\n\r\n+CSQ: 20,99\r\n\r\nOK\r\n", "+CSQ:")
//     == "+CSQ: 20,99\r\n"
std::optional<QString> replyLine(const QString& text, const QString& tag, int from = 1);

} // namespace at
