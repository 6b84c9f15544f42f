#pragma once

#include "ini/IniDocument.h"

#include <QString>
#include <QtGlobal>
#include <stdexcept>

// What the text members return for a section or entry that does not exist: one NUL
// character. It differs from the empty text, which an entry with an empty value returns.
inline const QString IniMissMarker = QString(QChar(u'\0'));

// A file could not be opened, read, created or written. The message names the file and the
// system's reason. Misses are never errors.
class IniFileError : public std::runtime_error
{
public:
    IniFileError(const QString& fileName, const QString& reason);

    const QString& fileName() const { return fileName_; }
    const QString& reason() const { return reason_; }

private:
    QString fileName_;
    QString reason_;
};

// One INI document tied to a file name. Only two members touch the disk: setFileName reads
// the file, UpdateFile writes it. Edits stay in memory; nothing is written on destruction.
// Sections and entries are found by name (first match, case-insensitive) or by position
// (from 1).
class clsINI
{
public:
    bool RemoveSection(const QString& Section);
    bool SectionExists(const QString& Section) const;
    // Writes the whole document; false, writing nothing, while no file name is set.
    // Throws IniFileError; the old file then stays as it was.
    bool UpdateFile();
    bool ValueExists(const QString& Section, const QString& ValueName) const;
    QString ValueName(const QString& Section, qint32 Index) const;
    bool RemoveValue(const QString& Section, const QString& ValueName);
    // Adds the entry (and the section if needed); false, leaving the value, if it exists.
    bool AddValue(const QString& Section, const QString& ValueName,
                  const QString& lValue = QString());
    // -1 when the section does not exist.
    qint32 ValuesCount(const QString& Section) const;
    // Sets the entry's value, creating the section and entry if needed.
    void setValue(const QString& Section, const QString& ValueName, const QString& vData);
    QString Value(const QString& Section, const QString& ValueName) const;
    QString SectionName(qint32 Index) const;
    bool AddSection(const QString& Section);
    qint32 SectionsCount() const;
    // Stores the name, empties the document and reads the file. A missing file (or an empty
    // name) leaves the document empty without error. Throws IniFileError when the file
    // cannot be read; the document then holds the lines read before the failure.
    void setFileName(const QString& vData);
    // The same for a caller that has read the file itself (with its own checks): stores the
    // name and takes the document from `content`, without touching the disk.
    void setFileName(const QString& vData, const QByteArray& content);
    QString FileName() const;

private:
    QString fileName_;
    IniDocument document_;
};
