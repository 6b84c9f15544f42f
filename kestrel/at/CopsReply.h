#pragma once

#include "kestrel/at/DisplayWrites.h"

#include <QString>
#include <optional>

namespace at
{

// What the operator step keeps from one cycle to the next (all empty at start).
struct CopsState {
    QString operatorText;     // name on one cycle, numeric code on the next; "" = no operator
    QString accessTechnology; // the technology field after the operator, "" when there is none
    QString technologySuffix; // " (2G)" ... " (5G)", kept until a reply sets another one
    QString formatChar;       // the character where the format digit stands
};

// True while the kept technology is 4G (technology 7 or 10): the cell identity then comes from
// "+CEREG" instead of "+CGREG".
bool onLte(const CopsState& state);

// What the reply told: an operator (a name or a code), that there is none, or nothing usable
// (no reply, an error, a format the step does not read).
enum class CopsReading { Unreadable, Operator, NoOperator };

struct CopsOutcome {
    CopsState state; // keep for the next cycle
    CopsReading reading = CopsReading::Unreadable;
    DisplayWrites display;
    // The format switch to run as a transaction ("AT+COPS=0,0" or "AT+COPS=0,2", no CR), then
    // PCSQ. Both are set together or not at all.
    std::optional<QString> switchCommand;
    bool runPcsq = false;
};

// The reply to "AT+COPS?", for example
//   "\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n"   name cycle, 3G
//   "\r\n+COPS: 0,2,\"00101\",0\r\n\r\nOK\r\n"        code cycle, 2G
//   "\r\n+COPS: 0\r\n\r\nOK\r\n"                      automatic selection, no operator
//   "\r\n^BOOT:20952211,0,0,0,72\r\n\r\n+COPS: 0,2,\"310260\",7\r\n\r\nOK\r\n"
//                                                 code cycle, 4G: MCC 310, MNC 260
// Positions are taken within the reply line (from "+COPS:" to its line end), so text before it
// does not shift them: the first double quote, the first space, the next double quote after the
// first. Format character at first space + 3, operator between the first pair of quotes (kept
// when there is no pair), technology field from two after the closing quote to the next comma
// or line end. Technology 0, 1, 3 are 2G; 2, 4, 5, 6 are 3G; 7, 10 are 4G; 11, 12, 13 are 5G;
// any other field keeps the suffix and the colour. The numeric code gives the MCC (its first
// three digits) and the MNC (the two or three after them). Without "+COPS:" only the raw view
// is written.
CopsOutcome parseCopsReply(const QString& reply, const CopsState& kept);

} // namespace at
