#include "platform/filedialog/QtFileDialog.h"

#include "tests/support/TestApp.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// "(*.ini)|*.ini", a description that shows its pattern, is the dialog test's filter below.
TEST(QtNameFilters, FromDescriptionPatternPairs)
{
    const struct {
        const char* filter;
        QStringList expected;
    } rows[] = {{"INI|*.ini|All|*.*", {"INI (*.ini)", "All (*.*)"}},
                {"Text|*.txt;*.ini", {"Text (*.txt *.ini)"}},
                {"(*.ini)", {}}};
    for (const auto& row : rows)
        EXPECT_EQ(qtNameFilters(QString::fromLatin1(row.filter)), row.expected) << row.filter;
}

// Once the dialog runs: records it, then types `typed` and accepts, or cancels when empty.
void answerDialog(const QString& typed, const QString& folder, QStringList* offeredFilters)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        *offeredFilters = dialog->nameFilters();
        if (typed.isEmpty())
            return dialog->reject();
        dialog->setDirectory(folder);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
        static_cast<QDialog*>(dialog)->accept();
    });
}

TEST(QtFileDialogRun, SaveAppendsIniAndACancelLeavesNoName)
{
    WidgetApp app;
    QTemporaryDir dir;
    QtFileDialog dialog;
    dialog.setDefaultExt(QStringLiteral("ini"));
    dialog.setFilter(QStringLiteral("(*.ini)|*.ini"));
    QStringList offered;

    answerDialog(QStringLiteral("cell"), dir.path(), &offered);
    dialog.ShowSave();
    EXPECT_EQ(dialog.FileName(), dir.filePath(QStringLiteral("cell.ini")));
    EXPECT_EQ(offered, QStringList{QStringLiteral("(*.ini)")});

    answerDialog(QString(), dir.path(), &offered);
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), QString());
}

} // namespace
