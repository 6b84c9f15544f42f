#pragma once

#include "kestrel/at/DisplayWrites.h"

#include <QString>

namespace at
{

// The location fields as last cut, kept from one cycle to the next (empty at start).
struct CgregState {
    QString lacText;
    QString cellIdText;
};

// What the report told about the location: nothing (no report found), that there is none now
// (a report without location fields), or a location.
enum class CgregReading { NoReport, NoLocation, Location };

struct CgregOutcome {
    CgregState state; // keep for the next cycle
    CgregReading reading = CgregReading::NoReport;
    DisplayWrites display;
};

// The reply to "AT+CGREG?" after "AT+CGREG=2", for example
//   "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n"   LAC 6699, cell ID 12834021
//   "\r\n+CGREG: 2,0\r\n\r\nOK\r\n"                   no location: the kept fields are shown again
// Needs both "+CGREG:" and " 2" somewhere in the reply. The separators are the first two
// comma-blank pairs of the whole reply text (not only of the report line); the LAC stands
// between them, the cell ID between the second and the next carriage return. A cut that cannot
// be made keeps its field; each kept field is then shown in decimal when it is one to eight hex
// digits, and otherwise its label stays as it is.
CgregOutcome parseCgregReply(const QString& reply, const CgregState& kept);

} // namespace at
