#include "kestrel/aiming/AimingAids.h"

#include "kestrel/GenerationColours.h"
#include "kestrel/aiming/AimingTone.h"
#include "kestrel/aiming/TonePitch.h"
#include "kestrel/monitor/MonitorReading.h"

#include <QGuiApplication>
#include <QPalette>

RecordedReading recordOf(const MonitorReading& reading, const QDateTime& time)
{
    RecordedReading record;
    record.time = time;
    if (reading.operatorNamed) {
        record.operatorName = reading.operatorName;
        record.technology = at::generationName(reading.operatorGeneration);
    }
    record.mcc = reading.mcc;
    record.mnc = reading.mnc;
    if (!reading.locationStale) {
        record.lac = reading.lac;
        record.cellId = reading.cellId;
        if (const auto cell = reading.lteCellParts()) {
            record.eNodeB = cell->eNodeB;
            record.sector = cell->sector;
        }
        record.band = reading.band;
        record.earfcn = reading.earfcn;
    }
    if (!reading.levelStale && reading.levelDbm) {
        record.levelDbm = reading.levelDbm;
        record.percent = at::roundHalfToEven(reading.barPercentage());
    }
    if (!reading.qualityStale && reading.onLteOrNr()) {
        record.quality = reading.quality;
    }
    return record;
}

AimingAids::AimingAids(PcmOutput* toneOutput, QObject* parent)
    : QObject(parent), tone_(new AimingTone(toneOutput, this))
{
}

void AimingAids::take(const MonitorReading& reading)
{
    RecordedReading record = recordOf(reading, QDateTime::currentDateTime());
    if (markPending_) {
        record.note = noteInForce_;
    }
    HistoryPoint point;
    point.atMs = record.time.toMSecsSinceEpoch();
    point.values = {record.levelDbm ? std::optional<double>(*record.levelDbm) : std::nullopt,
                    record.quality.rsrpDbm ? std::optional<double>(*record.quality.rsrpDbm)
                                           : std::nullopt,
                    record.quality.sinrDb};
    const QColor before = QGuiApplication::palette().color(QPalette::ButtonText);
    point.colour = generationColour(reading.generation, before);
    point.cellId = record.cellId;
    point.note = noteInForce_;
    point.marked = markPending_;
    point.newCell = last_ && !last_->cellId.isEmpty() && !point.cellId.isEmpty() &&
                    point.cellId != last_->cellId;
    markPending_ = false;
    rsrpGiven_ = reading.onLteOrNr() && record.quality.rsrpDbm;
    history_.add(point);
    last_ = point;
    retune();
    emit historyChanged();
    if (const auto failure = recorder_.record(record)) {
        emit recordingFailed(QStringLiteral("Recording readings stopped: cannot write to %1: %2")
                                 .arg(recorder_.path(), *failure));
    }
}

// The history and the tone to the measure aimed by, the tone at the newest value.
void AimingAids::retune()
{
    const AimMeasure measure = chosen_.value_or(rsrpGiven_ ? AimMeasure::Rsrp : AimMeasure::Level);
    history_.setMeasure(measure);
    const std::optional<double> value = last_ ? last_->value(measure) : std::nullopt;
    tone_->showPitch(value ? std::optional<double>(tonePitchHz(measure, *value)) : std::nullopt);
}

void AimingAids::choose(std::optional<AimMeasure> measure)
{
    chosen_ = measure;
    retune();
    emit historyChanged();
}

void AimingAids::mark(const QString& note)
{
    noteInForce_ = note;
    markPending_ = true;
}

bool AimingAids::setToneOn(bool on)
{
    return tone_->setOn(on);
}

void AimingAids::duckTone()
{
    tone_->duck();
}

bool AimingAids::startRecording(const QString& path, QString* why)
{
    return recorder_.start(path, why);
}
