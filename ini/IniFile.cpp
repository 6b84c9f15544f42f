#include "ini/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Drops a last line that a failed read cut short.
QByteArray completeLines(const QByteArray& bytes)
{
    const qsizetype lastEnd = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
    return bytes.left(lastEnd + 1);
}

// "cannot be written: No space left on device": what was being done, in the system's words.
QString failed(const char* what, int error)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(error)));
}

// The file a symbolic link leads to, followed as far as it goes (to a file not made yet, too),
// so that saving through a link writes its file instead of putting a file in the link's place.
QString finalTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) {
        info.setFile(info.symLinkTarget());
    }
    return info.isSymLink() ? path : info.filePath();
}

// Writes all of `bytes` from the start of the file; 0 or the system's error number.
int writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done,
                                   static_cast<std::size_t>(bytes.size() - done), done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        done += n;
    }
    return 0;
}

// Rewrites an existing file over its own bytes, for a folder that takes no new file. Not
// atomic, so nothing is overwritten until room for all the new bytes is reserved: opening
// without truncating and reserving first leaves a full disk's file as it was.
QString writeInPlace(const QByteArray& target, const QByteArray& bytes, IniFileSystem& system)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return failed("cannot be written", errno);
    }
    int error = 0;
    struct stat old {
    };
    if (::fstat(fd, &old) != 0) {
        error = errno;
    } else if (!bytes.isEmpty() && (error = system.reserve(fd, bytes.size())) != 0) {
        // A reservation that failed part way may have lengthened the file: back to its length.
        if (::ftruncate(fd, old.st_size) != 0) {
            error = errno;
        }
    } else {
        error = writeAll(fd, bytes);
        if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
            error = errno;
        }
        if (error == 0 && ::fsync(fd) != 0) {
            error = errno;
        }
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error == 0 ? QString() : failed("cannot be written", error);
}

} // namespace

IniFileBytes readIniFileBytes(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, QStringLiteral("cannot be opened for reading: %1").arg(file.errorString())};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {completeLines(bytes), QStringLiteral("cannot be read: %1").arg(file.errorString())};
    }
    return {bytes, {}};
}

int IniFileSystem::createNew(const QByteArray& path, int& fd)
{
    fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd < 0 ? errno : 0;
}

int IniFileSystem::reserve(int fd, qint64 length)
{
    return ::posix_fallocate(fd, 0, static_cast<off_t>(length));
}

int IniFileSystem::rename(const QByteArray& from, const QByteArray& to)
{
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

QString writeIniFileBytes(const QString& path, const QByteArray& bytes)
{
    IniFileSystem system;
    return writeIniFileBytes(path, bytes, system);
}

QString writeIniFileBytes(const QString& path, const QByteArray& bytes, IniFileSystem& system)
{
    const QByteArray target = QFile::encodeName(finalTarget(path));
    struct stat old {
    };
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        return failed("cannot be created", EISDIR);
    }
    // The folder would let a read-only file be replaced; its owner meant it to stay.
    if (exists && ::access(target.constData(), W_OK) != 0) {
        return failed("cannot be written", errno);
    }
    // "<name>.saving-<random>" beside the target, so that the rename stays on its disk.
    QByteArray temporary;
    int fd = -1;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary =
            target + ".saving-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        error = system.createNew(temporary, fd);
    }
    if (error != 0) {
        // A folder without write permission takes no new file, while its files may be writable.
        if (exists && (error == EACCES || error == EPERM)) {
            return writeInPlace(target, bytes, system);
        }
        return failed("cannot be created", error);
    }
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) {
        error = errno;
        ::close(fd);
        ::unlink(temporary.constData());
        return failed("cannot be created", error);
    }
    error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0) {
        error = system.rename(temporary, target);
        if (error == 0) {
            return {};
        }
        ::unlink(temporary.constData());
        // Refused for the folder (sticky, or taking no new name) or for the file (a mount).
        if (exists && (error == EACCES || error == EPERM || error == EBUSY)) {
            return writeInPlace(target, bytes, system);
        }
        return failed("cannot be replaced", error);
    }
    ::unlink(temporary.constData());
    return failed("cannot be written", error);
}
