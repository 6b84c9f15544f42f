#pragma once

#include "platform/filedialog/FileDialog.h"

#include <QString>
#include <QStringList>

class QWidget;

// Turns "description|pattern|description|pattern" into Qt name filters such as "(*.ini)", keeping
// the description and adding the patterns in brackets when it does not show them already.
// Several patterns of one entry, separated by ";", become one space-separated list.
QStringList qtNameFilters(const QString& filter);

// The name the dialog hands back: `ext` (without dot) is appended to a name typed without an
// extension. An open dialog leaves an existing file's name alone, since the user picked it.
QString withDefaultExt(const QString& path, const QString& ext, bool forOpen);

// The file dialog on QFileDialog, modal over `parent`. It never asks before replacing a file and
// does not insist that a file to open exists; the caller decides what a missing file means.
class QtFileDialog : public FileDialog
{
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the dialog is modal over and centred on, when it exists after the dialog.
    void setOwner(QWidget* parent) { parent_ = parent; }

    void setFlags(int flags) override { flags_ = flags; }
    void setDefaultExt(const QString& ext) override { defaultExt_ = ext; }
    void setFilter(const QString& filter) override { filter_ = filter; }
    void ShowOpen() override { show(true); }
    void ShowSave() override { show(false); }
    QString FileName() const override { return fileName_; }
    void setFileName(const QString& name) override { suggested_ = name; }

private:
    void show(bool forOpen);

    QWidget* parent_;
    int flags_ = 0; // Qt's dialog has no read-only check box, so the bit that hides it is moot
    QString defaultExt_;
    QString suggested_;
    QString filter_;
    QString fileName_;
};
