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

// The steps of a save that a read-only folder or a full disk refuses. Tests run as root, whom
// no folder refuses, and on a disk with room: they replace these to fail as the system would.
// Each returns 0 or the system's error number.
class IniFileSystem
{
public:
    virtual ~IniFileSystem() = default;
    // Creates a file that does not exist yet, open for writing, with the usual permissions.
    virtual int createNew(const QByteArray& path, int& fd);
    // Makes room for `length` bytes from the start of the file without changing its content
    // (posix_fallocate): once it succeeds, writing them cannot run out of space.
    virtual int reserve(int fd, qint64 length);
    virtual int rename(const QByteArray& from, const QByteArray& to);
};

// Replaces the file atomically: the bytes go to a temporary file in the same folder, which is
// renamed over the target only when all of them are written. On failure the old file stays as
// it was. An existing file keeps its permissions; a symbolic link stays a link to the file that
// gets the bytes. Where the folder takes no new file or refuses the rename but the target is
// writable, the target is rewritten in place: only after room for all the bytes is reserved,
// so a full disk still leaves it as it was.
QString writeIniFileBytes(const QString& path, const QByteArray& bytes);
QString writeIniFileBytes(const QString& path, const QByteArray& bytes, IniFileSystem& system);
