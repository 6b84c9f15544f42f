#include "ini/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace
{

// Drops a last line that a failed read cut short.
QByteArray completeLines(const QByteArray& bytes)
{
    const qsizetype lastEnd = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
    return bytes.left(lastEnd + 1);
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

QString writeIniFileBytes(const QString& path, const QByteArray& bytes)
{
    // QSaveFile copies the permissions of an existing target onto its temporary file. Where the
    // folder takes no new file but the target itself is writable, it writes the target in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("cannot be created: %1").arg(file.errorString());
    }
    // Qt 6.4's commit() drops an error of its final flush and would rename a short temporary
    // file over the target, so the flush is checked here first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("cannot be written: %1").arg(reason);
    }
    if (!file.commit()) {
        return QStringLiteral("cannot be written: %1").arg(file.errorString());
    }
    return {};
}
