#pragma once

#include "kestrel/at/QualityReply.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <optional>

// One polling cycle's reading as a line of the record. Empty texts and no values where nothing
// current is known: a cleared or stale level, stale figures, a stale location.
struct RecordedReading {
    QDateTime time{};
    QString operatorName{};
    QString technology{}; // "2G" ... "5G", or empty
    QString mcc{};
    QString mnc{};
    QString lac{};
    QString cellId{};
    std::optional<int> levelDbm{};
    std::optional<int> percent{};
    at::RadioQuality quality{};
    std::optional<qulonglong> eNodeB{}; // a 4G cell ID's parts
    std::optional<int> sector{};
    std::optional<int> band{};
    std::optional<int> earfcn{};
    QString note{}; // a mark the user set since the line before
};

// "time,operator,technology,mcc,mnc,lac,cell_id,dbm,percent,rsrp_dbm,rsrq_db,sinr_db,rscp_dbm,
// ecio_db,nr_rsrp_dbm,nr_rsrq_db,nr_sinr_db,enb_id,sector,band,earfcn,note"
QString recordHeader();
// The reading as one CSV line (RFC 4180 quoting, no line end); the time in ISO 8601 with
// milliseconds and its offset from UTC, such as 2026-12-07T14:03:27.250+01:00 (a cycle takes
// less than a second); dB values with one decimal.
QString recordLine(const RecordedReading& reading);

// Appends readings to a CSV file, one line each, flushed at once so that a pulled plug loses at
// most the line being written. A new or empty file gets the header line first; a file that
// starts with another header (a record of another version) is not appended to, since its
// columns would no longer mean what they say.
class ReadingRecorder
{
public:
    // False, with the reason, when the file cannot be opened for appending.
    bool start(const QString& path, QString* why);
    void stop();
    bool isRecording() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }

    // Writes the line; on failure stops recording and returns the reason.
    std::optional<QString> record(const RecordedReading& reading);

private:
    bool writeLine(const QString& line);

    QFile file_;
};
