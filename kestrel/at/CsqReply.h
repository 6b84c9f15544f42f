#pragma once

#include "kestrel/at/Conversions.h"

#include <QString>
#include <optional>

namespace at
{

// What the signal step keeps from one cycle to the next.
struct CsqState {
    QString signalText; // the strength index as last cut, empty at start
};

struct CsqOutcome {
    CsqState state; // keep for the next cycle
    // The reply gave a level, or said that none can be measured.
    bool levelRead = false;
    // With levelRead: the strength index, 0 to 31, and the level in dBm it stands for; both
    // none when the stick measures nothing (99), or the index is empty or not a number.
    std::optional<int> index;
    DbmLevel levelDbm;
};

// The reply to "AT+CSQ", for example
//   "\r\n+CSQ: 20,99\r\n\r\nOK\r\n"   index 20: -73 dBm
//   "\r\n+CSQ: 99,99\r\n\r\nOK\r\n"   no reading: the level is cleared
//   "\r\n^DSFLOWRPT:0000003C,...\r\n\r\n+CSQ: 25,99\r\n\r\nOK\r\n"   index 25: -63 dBm
// The signal text is what stands between the first blank and the first comma of the reply line
// (from "+CSQ:" to its line end; kept when the comma comes first), so text before that line
// does not shift the cut. An index that is not a number, is empty, or gives a level above 0 dBm
// (99) clears the reading.
CsqOutcome parseCsqReply(const QString& reply, const CsqState& kept);

} // namespace at
