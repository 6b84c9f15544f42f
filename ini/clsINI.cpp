#include "ini/clsINI.h"

#include "ini/IniFile.h"
#include "ini/IniReader.h"
#include "ini/IniWriter.h"

namespace
{

// Positions count from 1; anything outside 1..count is a miss.
template <typename List> bool validPosition(const List& list, qint32 index)
{
    return index >= 1 && index <= list.size();
}

} // namespace

IniFileError::IniFileError(const QString& fileName, const QString& reason)
    : std::runtime_error(QStringLiteral("INI file \"%1\" %2").arg(fileName, reason).toStdString()),
      fileName_(fileName), reason_(reason)
{
}

bool clsINI::RemoveSection(const QString& Section)
{
    return document_.removeSection(Section);
}

bool clsINI::SectionExists(const QString& Section) const
{
    return document_.section(Section) != nullptr;
}

bool clsINI::UpdateFile()
{
    if (fileName_.isEmpty()) {
        return false;
    }
    const QString failure = writeIniFileBytes(fileName_, writeIniDocument(document_));
    if (!failure.isEmpty()) {
        throw IniFileError(fileName_, failure);
    }
    return true;
}

bool clsINI::ValueExists(const QString& Section, const QString& ValueName) const
{
    const IniSection* section = document_.section(Section);
    return section != nullptr && section->entry(ValueName) != nullptr;
}

QString clsINI::ValueName(const QString& Section, qint32 Index) const
{
    const IniSection* section = document_.section(Section);
    if (section == nullptr || !validPosition(section->Values, Index)) {
        return IniMissMarker;
    }
    return section->Values.at(Index - 1).Name;
}

bool clsINI::RemoveValue(const QString& Section, const QString& ValueName)
{
    IniSection* section = document_.section(Section);
    return section != nullptr && section->removeEntry(ValueName);
}

bool clsINI::AddValue(const QString& Section, const QString& ValueName, const QString& lValue)
{
    IniSection& section = document_.sectionOrAppend(Section);
    if (section.entry(ValueName) != nullptr) {
        return false;
    }
    section.Values.append(IniEntry{ValueName, lValue});
    return true;
}

qint32 clsINI::ValuesCount(const QString& Section) const
{
    const IniSection* section = document_.section(Section);
    return section == nullptr ? -1 : static_cast<qint32>(section->Values.size());
}

void clsINI::setValue(const QString& Section, const QString& ValueName, const QString& vData)
{
    IniSection& section = document_.sectionOrAppend(Section);
    if (IniEntry* entry = section.entry(ValueName)) {
        entry->Value = vData; // the stored name stays as it was first spelled
        return;
    }
    section.Values.append(IniEntry{ValueName, vData});
}

QString clsINI::Value(const QString& Section, const QString& ValueName) const
{
    const IniSection* section = document_.section(Section);
    const IniEntry* entry = section == nullptr ? nullptr : section->entry(ValueName);
    return entry == nullptr ? IniMissMarker : entry->Value;
}

QString clsINI::SectionName(qint32 Index) const
{
    if (!validPosition(document_.Sections, Index)) {
        return IniMissMarker;
    }
    return document_.Sections.at(Index - 1).Name;
}

bool clsINI::AddSection(const QString& Section)
{
    if (SectionExists(Section)) {
        return false;
    }
    document_.Sections.append(IniSection{Section, {}});
    return true;
}

qint32 clsINI::SectionsCount() const
{
    return static_cast<qint32>(document_.Sections.size());
}

void clsINI::setFileName(const QString& vData)
{
    fileName_ = vData;
    document_ = {};
    const IniFileBytes file = readIniFileBytes(vData);
    document_ = readIniDocument(file.bytes);
    if (!file.failure.isEmpty()) {
        throw IniFileError(vData, file.failure);
    }
}

void clsINI::setFileName(const QString& vData, const QByteArray& content)
{
    fileName_ = vData;
    document_ = readIniDocument(content);
}

QString clsINI::FileName() const
{
    return fileName_;
}
