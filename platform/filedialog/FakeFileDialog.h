#pragma once

#include "platform/filedialog/FileDialog.h"

#include <QStringList>

// A dialog for tests: each Show* "chooses" the next name of nextChoices (empty text: cancel).
class FakeFileDialog : public FileDialog
{
public:
    QStringList nextChoices;
    QStringList shown; // "open" or "save", per call
    QString defaultExt;
    QString filter;

    void setFlags(int) override {}
    void setDefaultExt(const QString& ext) override { defaultExt = ext; }
    void setFilter(const QString& f) override { filter = f; }
    void ShowOpen() override { choose(QStringLiteral("open")); }
    void ShowSave() override { choose(QStringLiteral("save")); }
    QString FileName() const override { return fileName_; }
    QString suggested; // what setFileName suggested last
    void setFileName(const QString& name) override { suggested = name; }

private:
    void choose(const QString& kind)
    {
        shown << kind;
        fileName_ = nextChoices.isEmpty() ? QString() : nextChoices.takeFirst();
    }
    QString fileName_;
};
