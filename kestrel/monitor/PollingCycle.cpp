#include "kestrel/monitor/PollingCycle.h"

#include "kestrel/polling/Queries.h"

PollingCycle::Outcome PollingCycle::run(MonitorReading& reading, bool percentMode)
{
    reading_ = &reading;
    percentMode_ = percentMode;
    outcome_ = {};
    PCOPS();
    reading_ = nullptr;
    return outcome_;
}

void PollingCycle::PCOPS()
{
    const at::CopsOutcome out = queryOperator(transaction_, cops_);
    cops_ = out.state;
    MonitorReading& r = *reading_;
    r.rawReply = transaction_.replyText();
    if (out.reading == at::CopsReading::NoOperator) {
        // Nothing shown may go on standing for a network the stick no longer has.
        r.operatorNamed = false;
        r.operatorName.clear();
        r.mcc.clear();
        r.mnc.clear();
        r.lac.clear();
        r.cellId.clear();
        r.registration.reset();
        r.levelDbm.reset();
        r.barValue = 0;
    }
    r.operatorKnown = !cops_.operatorText.isEmpty();
    r.generation = cops_.generation;
    if (out.name) {
        r.operatorNamed = true;
        r.operatorName = *out.name;
        r.operatorGeneration = cops_.generation;
    }
    if (out.mcc) {
        r.mcc = *out.mcc;
    }
    if (out.mnc) {
        r.mnc = *out.mnc;
    }
    outcome_.readings.operatorRead = out.reading != at::CopsReading::Unreadable;
    outcome_.readings.noOperator = out.reading == at::CopsReading::NoOperator;
    if (out.runPcsq) {
        PCSQ();
    }
}

void PollingCycle::PCSQ()
{
    outcome_.signalQueried = true;
    const at::CsqOutcome out = querySignal(transaction_, csq_);
    csq_ = out.state;
    MonitorReading& r = *reading_;
    r.rawReply = transaction_.replyText();
    if (out.levelRead) {
        r.levelDbm = out.levelDbm;
        r.levelInPercent = percentMode_;
        if (!out.levelDbm) {
            r.barValue = 0;
        } else if (r.operatorKnown) {
            r.barValue = *out.index;
        }
    }
    outcome_.readings.levelRead = out.levelRead;
    // The cell identity is worth asking for only while there is an operator.
    if (r.operatorKnown) {
        PCGREG();
    }
}

void PollingCycle::PCGREG()
{
    const at::CgregOutcome out = queryRegistration(transaction_, cops_, cgreg_);
    cgreg_ = out.state;
    if (out.lac) {
        reading_->lac = *out.lac;
    }
    if (out.cellId) {
        reading_->cellId = *out.cellId;
    }
    if (out.status) {
        reading_->registration = out.status;
    }
    outcome_.readings.location =
        out.reading == at::CgregReading::Location     ? CycleReadings::Location::Read
        : out.reading == at::CgregReading::NoLocation ? CycleReadings::Location::Missing
                                                      : CycleReadings::Location::NotRead;
}
