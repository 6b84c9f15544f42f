#include "platform/filedialog/QtFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1]
                                     .split(QLatin1Char(';'), Qt::SkipEmptyParts)
                                     .replaceInStrings(QStringLiteral(" "), QString())
                                     .join(QLatin1Char(' '));
        if (patterns.isEmpty())
            continue;
        const QString bracketed = QLatin1Char('(') + patterns + QLatin1Char(')');
        // Qt reads the patterns from the brackets at the end of a filter's text.
        if (description.endsWith(bracketed))
            filters << description;
        else if (description.isEmpty())
            filters << bracketed;
        else
            filters << description + QLatin1Char(' ') + bracketed;
    }
    return filters;
}

QString withDefaultExt(const QString& path, const QString& ext, bool forOpen)
{
    if (path.isEmpty() || ext.isEmpty())
        return path;
    const QFileInfo info(path);
    if (!info.suffix().isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    if (forOpen && info.exists())
        return path;
    return path + QLatin1Char('.') + ext;
}

void QtFileDialog::show(bool forOpen)
{
    // A cancel must leave no name behind, also when an earlier use chose one.
    fileName_.clear();

    QFileDialog dialog(parent_);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(forOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtNameFilters(filter_);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!defaultExt_.isEmpty())
        dialog.setDefaultSuffix(defaultExt_);
    // A suggestion holds for one dialog.
    if (!suggested_.isEmpty())
        dialog.selectFile(suggested_);
    suggested_.clear();

    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return;
    // Platform dialogs differ in whether they honour the default suffix; apply it here too.
    fileName_ = withDefaultExt(chosen.first(), defaultExt_, forOpen);
}
