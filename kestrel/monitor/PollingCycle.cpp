#include "kestrel/monitor/PollingCycle.h"

#include "kestrel/polling/Queries.h"

PollingCycle::PollingCycle(CommControl& port) : transaction_(port)
{
    transaction_.watchReads([this](const QString& text) {
        if (reading_ && text.contains(QLatin1String("^HCSQ:"))) {
            if (const auto quality = at::parseHcsqReply(text)) {
                takeQuality(*quality);
            }
        }
    });
}

void PollingCycle::portOpened()
{
    qualityCommand_ = QualityCommand::Hcsq;
    frequencyRefused_ = false;
    frequencyAskedFor_.clear();
}

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
        r.forgetOperator();
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
    if (r.onLteOrNr()) {
        askQuality();
    }
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
    if (out.reading == at::CgregReading::Location) {
        reading_->locationReadAt = std::chrono::steady_clock::now();
    }
    if (reading_->onLteOrNr() && out.reading == at::CgregReading::Location) {
        askFrequency();
    }
    outcome_.readings.location =
        out.reading == at::CgregReading::Location     ? CycleReadings::Location::Read
        : out.reading == at::CgregReading::NoLocation ? CycleReadings::Location::Missing
                                                      : CycleReadings::Location::NotRead;
}

void PollingCycle::askQuality()
{
    const QualityOutcome out = queryQuality(transaction_, qualityCommand_);
    qualityCommand_ = out.next;
    if (out.quality) {
        takeQuality(*out.quality);
    }
}

void PollingCycle::takeQuality(const at::RadioQuality& quality)
{
    reading_->quality = quality;
    outcome_.readings.qualityRead = true;
}

// Once per cell, asked again only while the stick stays silent: the band is the cell's.
void PollingCycle::askFrequency()
{
    if (frequencyRefused_ || reading_->cellId == frequencyAskedFor_) {
        return;
    }
    reading_->band.reset();
    reading_->earfcn.reset();
    const FrequencyOutcome out = queryFrequency(transaction_);
    frequencyRefused_ = out.refused;
    if (!transaction_.replyText().isEmpty()) {
        frequencyAskedFor_ = reading_->cellId;
    }
    if (out.report) {
        reading_->band = out.report->band;
        reading_->earfcn = out.report->downlinkChannel;
    }
}
