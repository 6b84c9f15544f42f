#pragma once

#include "kestrel/at/CgregReply.h"
#include "kestrel/at/CopsReply.h"
#include "kestrel/at/CsqReply.h"
#include "kestrel/at/QualityReply.h"
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

// Which command gives a 4G stick's quality figures: Huawei's "AT^HCSQ?", the 3GPP "AT+CESQ" for
// a stick that refuses it, neither for one that refuses both.
enum class QualityCommand { Hcsq, Cesq, Neither };

struct QualityOutcome {
    std::optional<at::RadioQuality> quality;
    QualityCommand next = QualityCommand::Hcsq; // to ask in the next cycle
};

// "AT^HCSQ?", and when the stick refuses it, "AT+CESQ" at once. A stick that stays silent is
// asked the same again; only a refusal (ERROR in any case) moves on.
QualityOutcome queryQuality(AtTransaction& transaction, QualityCommand command);

// "AT^HFREQINFO?": the serving cell's band and channel; `refused` when the stick refused it.
struct FrequencyOutcome {
    std::optional<at::FrequencyReport> report;
    bool refused = false;
};
FrequencyOutcome queryFrequency(AtTransaction& transaction);
