#pragma once

#include <QString>

// A modal open/save file dialog configured the way both programs use it.
class FileDialog
{
public:
    virtual ~FileDialog() = default;
    // 4 hides a read-only check box; other bits are not used.
    virtual void setFlags(int flags) = 0;
    // Appended (with a dot) to a name typed without extension, such as "ini".
    virtual void setDefaultExt(const QString& ext) = 0;
    // "description|pattern" pairs joined by "|", such as "(*.ini)|*.ini".
    virtual void setFilter(const QString& filter) = 0;
    // Each shows a modal dialog and returns when the user closes it.
    virtual void ShowOpen() = 0;
    virtual void ShowSave() = 0;
    // The chosen full path; empty text after a cancel, also when an earlier use chose a file.
    virtual QString FileName() const = 0;
    // The name the next dialog suggests, such as "survey.csv" (in its current folder).
    virtual void setFileName(const QString& name) = 0;
};
