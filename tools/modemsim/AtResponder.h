#pragma once

#include "tools/modemsim/AtReply.h"
#include "tools/modemsim/ModemState.h"

#include <QByteArray>

namespace modemsim
{

// Answers one command line (without its CR) as the stick's AT port does, changing the state
// where the command sets something. Pure: no I/O, no clock.
//
// Understood: AT, ATI, ATE0/ATE1, AT+CGMI, AT+CGMM, AT+CGMR, AT+CSQ, AT+COPS? and
// AT+COPS=<mode>[,<format>], AT+CGREG / AT+CREG (=<n> and ?), AT^SYSCFG (= and ?); a 4G stick
// also AT+CEREG and AT^SYSCFGEX (LteStick.h).
// Anything else starting with "AT" gets ERROR; a line without "AT" in front is ignored.
AtReply respond(ModemState& state, const QByteArray& commandLine);

// The information lines themselves, for tests and for the unsolicited reports.
QByteArray copsLine(const ModemState& state);
QByteArray csqLine(const ModemState& state);
QByteArray registrationLine(const ModemState& state, const QByteArray& tag, int mode);
QByteArray sysCfgLine(const ModemState& state);

} // namespace modemsim
