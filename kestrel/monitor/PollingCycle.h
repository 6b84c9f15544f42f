#pragma once

#include "kestrel/at/CgregReply.h"
#include "kestrel/at/CopsReply.h"
#include "kestrel/at/CsqReply.h"
#include "kestrel/monitor/MonitorReading.h"
#include "kestrel/polling/AtTransaction.h"
#include "kestrel/polling/Queries.h"
#include "kestrel/status/ReadingFreshness.h"

#include <atomic>

// The polling cycle over the stick's AT port: the operator query PCOPS, and when it read an
// operator, the signal query PCSQ, on 4G and 5G the quality figures, then, when an operator is
// known, the registration query PCGREG, and on 4G after a cell change the band. Each reply
// step's facts go into the reading; what each step keeps for the next cycle (and the reply
// text of the port) lives here as long as the monitor. "^HCSQ:" reports that come amid other
// replies are taken as they come.
class PollingCycle
{
public:
    explicit PollingCycle(CommControl& port);

    // The port was opened (again): a stick there may answer what the last one refused.
    void portOpened();

    // A stop asked for by the program ends the running transaction after its next read.
    void stopWhen(const std::atomic<bool>& stop) { transaction_.stopWhen(stop); }

    struct Outcome {
        CycleReadings readings;     // what the cycle read, for the freshness of each part
        bool signalQueried = false; // PCSQ ran: Timer1's interval starts afresh at the end
    };
    // One cycle. `percentMode` is "LEVEL PERCENTAGE " as the signal query finds it.
    Outcome run(MonitorReading& reading, bool percentMode);

private:
    void PCOPS();
    void PCSQ();
    void PCGREG();
    void askQuality();
    void askFrequency();
    void takeQuality(const at::RadioQuality& quality);

    AtTransaction transaction_;
    at::CopsState cops_;
    at::CsqState csq_;
    at::CgregState cgreg_;
    QualityCommand qualityCommand_ = QualityCommand::Hcsq;
    bool frequencyRefused_ = false;
    QString frequencyAskedFor_; // the cell ID the band was last asked for
    // The cycle under way.
    MonitorReading* reading_ = nullptr;
    Outcome outcome_;
    bool percentMode_ = false;
};
