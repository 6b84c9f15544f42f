#include "kestrel/aiming/AimingAids.h"

#include "kestrel/GenerationColours.h"
#include "kestrel/aiming/AimingTone.h"
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
    record.lac = reading.lac;
    record.cellId = reading.cellId;
    if (!reading.levelStale && reading.levelDbm) {
        record.levelDbm = reading.levelDbm;
        record.percent = at::roundHalfToEven(reading.barPercentage());
    }
    return record;
}

AimingAids::AimingAids(PcmOutput* toneOutput, QObject* parent)
    : QObject(parent), tone_(new AimingTone(toneOutput, this))
{
}

void AimingAids::take(const MonitorReading& reading)
{
    const RecordedReading record = recordOf(reading, QDateTime::currentDateTime());
    currentLevel_ = record.levelDbm;
    tone_->showLevel(currentLevel_);
    const QColor before = QGuiApplication::palette().color(QPalette::ButtonText);
    history_.add({record.time.toMSecsSinceEpoch(), record.levelDbm,
                  generationColour(reading.generation, before)});
    emit historyChanged();
    if (const auto failure = recorder_.record(record)) {
        emit recordingFailed(QStringLiteral("Recording readings stopped: cannot write to %1: %2")
                                 .arg(recorder_.path(), *failure));
    }
}

void AimingAids::setToneOn(bool on)
{
    tone_->setOn(on);
    tone_->showLevel(currentLevel_);
}

void AimingAids::duckTone()
{
    tone_->duck();
}

bool AimingAids::startRecording(const QString& path, QString* why)
{
    return recorder_.start(path, why);
}
