#pragma once

#include <QByteArray>
#include <QString>

// Disk access for INI documents. Failures come back as a reason in words (the system's own
// text after what was being done); an empty reason means success.

struct IniFileBytes {
    QByteArray bytes;
    QString failure;
};

// The whole file. A file that does not exist reads as no bytes, without failure. After a
// failure, `bytes` holds the complete lines read before it.
IniFileBytes readIniFileBytes(const QString& path);

// Replaces the file atomically: the bytes go to a temporary file in the same folder, which is
// renamed over the target only when all of them are written. On failure the old file stays as
// it was. An existing file keeps its permissions. Where the folder cannot take the temporary
// file but the target is writable, the target is written in place instead (not atomic).
QString writeIniFileBytes(const QString& path, const QByteArray& bytes);
