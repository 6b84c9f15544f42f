#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The whole of a file, or "<unreadable>" when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A fresh folder for a test's files, removed with the test.
class TempFolder
{
public:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QByteArray read(const QString& name) const { return fileBytes(path(name)); }
    // Writes `bytes` to the file `name`, replacing it; false when that fails.
    bool write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // Every entry of the folder, hidden ones too, by name.
    QStringList entries() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private:
    QTemporaryDir dir_;
};
