#pragma once

#include "kestrel/at/CopsReply.h"
#include "kestrel/at/DisplayWrites.h"

#include <QString>

namespace at
{

// What the signal step keeps from one cycle to the next.
struct CsqState {
    QString signalText; // the strength index as last cut, empty at start
};

struct CsqOutcome {
    CsqState state; // keep for the next cycle
    DisplayWrites display;
    // true: run PCGREG, which enables Timer1 when it ends; false: enable Timer1 now.
    bool runPcgreg = false;
    // The reply gave a level, or said that none can be measured.
    bool levelRead = false;
};

// The reply to "AT+CSQ", for example
//   "\r\n+CSQ: 20,99\r\n\r\nOK\r\n"   index 20: "  -73db", bar at 20
//   "\r\n+CSQ: 99,99\r\n\r\nOK\r\n"   no reading: label and LevelDbm cleared, bar at 0
// The signal text is what stands between the first blank and the first comma of the whole
// reply text (kept when the comma comes first). An index that is not a number, is empty, or
// gives a level above 0 dBm (99) clears the reading. The reply is not looked at when the
// operator reply carried no technology digit (a line feed stood in its place).
// `percentMode` is `Check1` ticked: the caption then shows the bar's percentage.
CsqOutcome parseCsqReply(const QString& reply, const CopsState& cops, const CsqState& kept,
                         bool percentMode);

} // namespace at
