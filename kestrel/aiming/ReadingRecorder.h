#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <optional>

// One polling cycle's reading as a line of the record. Empty texts where the window shows none;
// no level while it is cleared or stale.
struct RecordedReading {
    QDateTime time;
    QString operatorName;
    QString technology; // "2G" ... "5G", or empty
    QString mcc;
    QString mnc;
    QString lac;
    QString cellId;
    std::optional<int> levelDbm;
    std::optional<int> percent;
};

// "time,operator,technology,mcc,mnc,lac,cell_id,dbm,percent"
QString recordHeader();
// The reading as one CSV line (RFC 4180 quoting, no line end); the time in ISO 8601 with its
// offset from UTC, such as 2026-12-07T14:03:27+01:00.
QString recordLine(const RecordedReading& reading);

// Appends readings to a CSV file, one line each, flushed at once so that a pulled plug loses at
// most the line being written. A new or empty file gets the header line first.
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
