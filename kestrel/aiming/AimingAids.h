#pragma once

#include "kestrel/aiming/ReadingRecorder.h"
#include "kestrel/aiming/SignalHistory.h"

#include <QObject>
#include <optional>

class AimingTone;
class PcmOutput;
struct MonitorReading;

// The aids for aiming an antenna, fed by the monitor's readings: the tone whose pitch follows
// the measure aimed by, the signal history with its best value and the user's marks, and the
// record of readings.
class AimingAids : public QObject
{
    Q_OBJECT
public:
    // `toneOutput` may be null: then the tone is never heard.
    explicit AimingAids(PcmOutput* toneOutput, QObject* parent = nullptr);

    // After every reading: the tone's pitch, a point of history, a line of the record.
    void take(const MonitorReading& reading);

    // What the aids follow: the user's choice, or until one is made, RSRP on a 4G or 5G stick
    // that gives it and the level otherwise.
    void choose(std::optional<AimMeasure> measure);
    AimMeasure measure() const { return history_.measure(); }

    // A note on where the antenna points ("N 30°"): on the next point of the history and the
    // next line of the record, and named with the best value reached while it is in force.
    void mark(const QString& note);

    // False when the tone cannot be heard (no audio output): it stays off.
    bool setToneOn(bool on);
    // A recording of the level plays over the tone.
    void duckTone();
    const AimingTone& tone() const { return *tone_; }

    SignalHistory& history() { return history_; }
    const SignalHistory& history() const { return history_; }

    // False, with the reason, when the file cannot be appended to.
    bool startRecording(const QString& path, QString* why);
    void stopRecording() { recorder_.stop(); }

signals:
    void historyChanged();
    // Recording stopped because a line could not be written; the text says so to the user.
    void recordingFailed(const QString& text);

private:
    void retune();

    AimingTone* tone_;
    std::optional<AimMeasure> chosen_;
    bool rsrpGiven_ = false; // the last reading came from a 4G or 5G stick that gives RSRP
    std::optional<HistoryPoint> last_;
    QString noteInForce_;
    bool markPending_ = false;
    SignalHistory history_;
    ReadingRecorder recorder_;
};

// The reading as a line of the record: nothing that is cleared or stale.
RecordedReading recordOf(const MonitorReading& reading, const QDateTime& time);
