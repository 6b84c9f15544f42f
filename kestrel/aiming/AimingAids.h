#pragma once

#include "kestrel/aiming/ReadingRecorder.h"
#include "kestrel/aiming/SignalHistory.h"

#include <QObject>
#include <optional>

class AimingTone;
class PcmOutput;
struct MonitorReading;

// The aids for aiming an antenna, fed by the monitor's readings: the tone whose pitch follows
// the level, the signal history with its best level, and the record of readings.
class AimingAids : public QObject
{
    Q_OBJECT
public:
    // `toneOutput` may be null: then the tone is never heard.
    explicit AimingAids(PcmOutput* toneOutput, QObject* parent = nullptr);

    // After every reading: the tone's pitch, a point of history, a line of the record.
    void take(const MonitorReading& reading);

    void setToneOn(bool on);
    // A recording of the level plays over the tone.
    void duckTone();
    const AimingTone& tone() const { return *tone_; }

    SignalHistory& history() { return history_; }
    const SignalHistory& history() const { return history_; }

    // False, with the reason, when the file cannot be opened for appending.
    bool startRecording(const QString& path, QString* why);
    void stopRecording() { recorder_.stop(); }

signals:
    void historyChanged();
    // Recording stopped because a line could not be written; the text says so to the user.
    void recordingFailed(const QString& text);

private:
    AimingTone* tone_;
    // The level while it is current, for the tone.
    std::optional<int> currentLevel_;
    SignalHistory history_;
    ReadingRecorder recorder_;
};

// The reading as a line of the record: no level while it is cleared or stale.
RecordedReading recordOf(const MonitorReading& reading, const QDateTime& time);
