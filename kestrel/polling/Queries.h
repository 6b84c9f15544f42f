#pragma once

#include "kestrel/at/CgregReply.h"
#include "kestrel/at/CopsReply.h"
#include "kestrel/at/CsqReply.h"
#include "kestrel/polling/AtTransaction.h"

// The three queries of a polling cycle, each its transactions plus its reply step. The caller
// keeps the returned state and runs the next query as the outcome says.

// PCOPS: "AT+COPS?", and when the reply held a name or a code, the format switch.
at::CopsOutcome queryOperator(AtTransaction& transaction, const at::CopsState& kept);

// PCSQ: "AT+CSQ" with counter and reply text reset first.
at::CsqOutcome querySignal(AtTransaction& transaction, const at::CsqState& kept);

// PCGREG: "AT+CGREG=2" (reply not examined), then "AT+CGREG?"; on 4G (as `cops` keeps it)
// "AT+CEREG=2", then "AT+CEREG?", whose tracking area code and E-UTRAN cell ID take the place
// of LAC and cell ID.
at::CgregOutcome queryRegistration(AtTransaction& transaction, const at::CopsState& cops,
                                   const at::CgregState& kept);
