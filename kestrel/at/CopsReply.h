#pragma once

#include "kestrel/at/DisplayWrites.h"

#include <QString>
#include <optional>

namespace at
{

// What the operator step keeps from one cycle to the next (all empty at start).
struct CopsState {
    QString operatorText;     // name on one cycle, numeric code on the next; "" = no operator
    QString accessTechnology; // the character where the technology digit stands ("" past the end)
    QString technologySuffix; // " (2G)" or " (3G)", kept until a reply sets the other one
    QString formatChar;       // the character where the format digit stands
};

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
// Positions are taken over the whole reply text: the first double quote, the first space, the
// next double quote after the first. Format character at first space + 3, operator between the
// first pair of quotes (kept when there is no pair), technology character two after the
// closing quote. Without "+COPS:" only the raw view is written.
CopsOutcome parseCopsReply(const QString& reply, const CopsState& kept);

} // namespace at
