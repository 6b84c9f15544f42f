#pragma once

#include "kestrel/at/Generation.h"

#include <QString>
#include <optional>

namespace at
{

// What the operator step keeps from one cycle to the next (all empty at start).
struct CopsState {
    QString operatorText;     // name on one cycle, numeric code on the next; "" = no operator
    QString accessTechnology; // the technology field after the operator, "" when there is none
    Generation generation = Generation::Unknown; // kept until a reply names another one
    QString formatChar;                          // the character where the format digit stands
};

// True while the kept generation is 4G (technology 7 or 10), or the stick is a 5G one anchored
// on LTE (13): the cell identity then comes from "+CEREG" instead of "+CGREG".
bool onLte(const CopsState& state);

// What the reply told: an operator (a name or a code), that there is none, or nothing usable
// (no reply, an error, a format digit other than 0, 1 and 2).
enum class CopsReading { Unreadable, Operator, NoOperator };

struct CopsOutcome {
    CopsState state; // keep for the next cycle
    CopsReading reading = CopsReading::Unreadable;
    // A name cycle (format 0, long, or 1, short): the operator's name.
    std::optional<QString> name;
    // A code cycle (format 2): the network codes cut from the numeric operator.
    std::optional<QString> mcc;
    std::optional<QString> mnc;
    // The format switch to run as a transaction ("AT+COPS=0,0" or "AT+COPS=0,2", no CR), then
    // PCSQ. Both are set together or not at all.
    std::optional<QString> switchCommand;
    bool runPcsq = false;
};

// The reply to "AT+COPS?", for example
//   "\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n"   name cycle, 3G
//   "\r\n+COPS: 0,2,\"00101\",0\r\n\r\nOK\r\n"        code cycle, 2G
//   "\r\n+COPS: 0,1,\"TN\",2\r\n\r\nOK\r\n"            short name: read as a name
//   "\r\n+COPS: 0\r\n\r\nOK\r\n"                      automatic selection, no operator
//   "\r\n^BOOT:20952211,0,0,0,72\r\n\r\n+COPS: 0,2,\"310260\",7\r\n\r\nOK\r\n"
//                                                 code cycle, 4G: MCC 310, MNC 260
// Positions are taken within the reply line (from "+COPS:" to its line end), so text before it
// does not shift them: the first double quote, the first space, the next double quote after the
// first. Format character at first space + 3, operator between the first pair of quotes (kept
// when there is no pair), technology field from two after the closing quote to the next comma
// or line end. Technology 0, 1, 3 are 2G; 2, 4, 5, 6 are 3G; 7, 10 are 4G; 11, 12, 13 are 5G;
// any other field keeps the generation. The numeric code gives the MCC (its first three
// digits) and the MNC (the two or three after them). A name in either alphanumeric format is
// the operator's name, and is followed by the switch to the numeric format. Without "+COPS:"
// nothing but an unreadable reply is told.
CopsOutcome parseCopsReply(const QString& reply, const CopsState& kept);

} // namespace at
