#include "platform/filedialog/QtFileDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "platform_filedialog_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

// Once the dialog runs, types `name` into its file name box and presses the default button,
// or cancels when `name` is empty. Records what the dialog offered.
struct DialogDriver {
    DialogDriver(QString typed, QString dir) : name(std::move(typed)), directory(std::move(dir)) {}
    QString name;
    QString directory;
    QStringList offeredFilters;
    bool wasModal = false;
    bool wasSave = false;

    void arm()
    {
        QTimer::singleShot(0, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            wasModal = dialog->isModal();
            wasSave = dialog->acceptMode() == QFileDialog::AcceptSave;
            offeredFilters = dialog->nameFilters();
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(directory);
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(name);
            static_cast<QDialog*>(dialog)->accept();
        });
    }
};

struct NameFilterRow {
    const char* shows;
    const char* filter;
    QStringList expected;
};

void PrintTo(const NameFilterRow& row, std::ostream* os)
{
    *os << row.shows;
}

class NameFilters : public testing::TestWithParam<NameFilterRow>
{
};

TEST_P(NameFilters, BecomeQtFilters)
{
    EXPECT_EQ(qtNameFilters(QString::fromUtf8(GetParam().filter)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NameFilters,
    testing::Values(NameFilterRow{"DescriptionShowingItsPattern", "(*.ini)|*.ini", {"(*.ini)"}},
                    NameFilterRow{"PlainDescription", "ID files|*.ini", {"ID files (*.ini)"}},
                    NameFilterRow{"TwoPairs", "INI|*.ini|All|*.*", {"INI (*.ini)", "All (*.*)"}},
                    NameFilterRow{"SeveralPatterns", "Text|*.txt;*.ini", {"Text (*.txt *.ini)"}},
                    NameFilterRow{"PatternWithoutDescription", "|*.ini", {"(*.ini)"}},
                    NameFilterRow{"DanglingDescription", "(*.ini)", {}},
                    NameFilterRow{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.shows); });

TEST(DefaultExt, AppendedOnlyToANameWithoutExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString existing = dir.filePath(QStringLiteral("plain"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_EQ(withDefaultExt(QStringLiteral("/a/cell"), QStringLiteral("ini"), false),
              QStringLiteral("/a/cell.ini"));
    EXPECT_EQ(withDefaultExt(QStringLiteral("/a/cell.txt"), QStringLiteral("ini"), false),
              QStringLiteral("/a/cell.txt"));
    EXPECT_EQ(withDefaultExt(QStringLiteral("/a.d/cell"), QStringLiteral("ini"), false),
              QStringLiteral("/a.d/cell.ini"));
    EXPECT_EQ(withDefaultExt(QString(), QStringLiteral("ini"), false), QString());
    // Opening a file that exists under the very name typed keeps that name.
    EXPECT_EQ(withDefaultExt(existing, QStringLiteral("ini"), true), existing);
    EXPECT_EQ(withDefaultExt(existing, QStringLiteral("ini"), false), existing + ".ini");
}

TEST(QtFileDialogRun, SaveAppendsIniToATypedNameAndOffersTheFilter)
{
    app();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileDialog dialog;
    dialog.setDefaultExt(QStringLiteral("ini"));
    dialog.setFilter(QStringLiteral("(*.ini)|*.ini"));

    DialogDriver driver(QStringLiteral("cell"), dir.path());
    driver.arm();
    dialog.ShowSave();

    EXPECT_TRUE(driver.wasModal);
    EXPECT_TRUE(driver.wasSave);
    EXPECT_EQ(driver.offeredFilters, QStringList{QStringLiteral("(*.ini)")});
    EXPECT_EQ(dialog.FileName(), dir.filePath(QStringLiteral("cell.ini")));
}

TEST(QtFileDialogRun, OpenGivesANameThatDoesNotExistYet)
{
    app();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileDialog dialog;
    dialog.setFlags(4);
    dialog.setDefaultExt(QStringLiteral("ini"));
    dialog.setFilter(QStringLiteral("(*.ini)|*.ini"));

    DialogDriver driver(QStringLiteral("missing.ini"), dir.path());
    driver.arm();
    dialog.ShowOpen();

    EXPECT_FALSE(driver.wasSave);
    EXPECT_EQ(dialog.FileName(), dir.filePath(QStringLiteral("missing.ini")));
}

TEST(QtFileDialogRun, CancelLeavesNoNameAfterAnEarlierChoice)
{
    app();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileDialog dialog;
    dialog.setDefaultExt(QStringLiteral("ini"));

    DialogDriver choose(QStringLiteral("first.ini"), dir.path());
    choose.arm();
    dialog.ShowSave();
    ASSERT_FALSE(dialog.FileName().isEmpty());

    DialogDriver cancel(QString(), dir.path());
    cancel.arm();
    dialog.ShowSave();
    EXPECT_TRUE(dialog.FileName().isEmpty());
}

} // namespace
