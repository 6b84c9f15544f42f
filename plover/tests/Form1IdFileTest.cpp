#include "ini/IdFileNames.h"
#include "ini/clsINI.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"
#include "plover/tests/WidgetApp.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

// The window with a scripted dialog, over real files in a fresh folder.
class Form1IdFile : public testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void writeFile(const char* name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray readFile(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    QStringList fields() const
    {
        return {form.Txtoperator->text(), form.Txtmcc->text(), form.Txtmnc->text(),
                form.Txtlac->text(), form.Txtcellid->text()};
    }

    void fill(const QStringList& values)
    {
        QLineEdit* boxes[] = {form.Txtoperator, form.Txtmcc, form.Txtmnc, form.Txtlac,
                              form.Txtcellid};
        for (int i = 0; i < 5; ++i)
            boxes[i]->setText(values[i]);
    }

    void open(const char* name)
    {
        dialog.nextChoices = {path(name)};
        form.CommandOpen->click();
    }

    void save(const char* name)
    {
        dialog.nextChoices = {path(name)};
        form.CommandSave->click();
    }

    QApplication& app = widgetApp();
    QTemporaryDir dir;
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form{dialog, loader, opener, messages};
};

// A file as the monitor writes it from nothing.
const QByteArray monitorFile =
    "[Value]\r\ncellid=314\r\nlac=78\r\nmnc=01\r\nmcc=250\r\noperator=MTS 3G\r\n\r\n";

struct OpenRow {
    const char* shows;
    QByteArray content;
    QStringList expected; // operator, mcc, mnc, lac, cellid
};

void PrintTo(const OpenRow& row, std::ostream* os)
{
    *os << row.shows;
}

class Form1Open : public Form1IdFile, public testing::WithParamInterface<OpenRow>
{
};

TEST_P(Form1Open, FillsTheFields)
{
    writeFile("cell.ini", GetParam().content);
    fill({"old", "old", "old", "old", "old"});
    open("cell.ini");

    EXPECT_EQ(dialog.shown, QStringList{QStringLiteral("open")});
    EXPECT_EQ(dialog.flags, 4);
    EXPECT_EQ(dialog.defaultExt, QStringLiteral("ini"));
    EXPECT_EQ(dialog.filter, QStringLiteral("(*.ini)|*.ini"));
    EXPECT_EQ(fields(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Form1Open,
    testing::Values(
        OpenRow{"MonitorWrittenFile", monitorFile, {"MTS 3G", "250", "01", "78", "314"}},
        OpenRow{"NamesInAnyCase",
                "[VALUE]\r\nCellID=5\r\nLAC=6\r\nMnc=7\r\nmCC=8\r\nOPERATOR=Beeline\r\n",
                {"Beeline", "8", "7", "6", "5"}},
        OpenRow{
            "MissingKeysBecomeEmpty", "[Value]\r\nmcc=250\r\nlac=\r\n", {"", "250", "", "", ""}},
        OpenRow{"WithoutValueSectionAllEmpty", "[Other]\r\nmcc=250\r\n", {"", "", "", "", ""}},
        OpenRow{
            "FirstOfTwoEqualKeys", "[Value]\r\nmcc=250\r\nMCC=999\r\n", {"", "250", "", "", ""}},
        OpenRow{"FirstValueSectionOnly",
                "[Value]\r\nmcc=250\r\n[value]\r\nmnc=02\r\n",
                {"", "250", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.shows); });

TEST_F(Form1IdFile, OpeningAMissingFileEmptiesTheFields)
{
    fill({"MTS", "250", "01", "78", "314"});
    open("nothing-here.ini");
    EXPECT_EQ(fields(), (QStringList{"", "", "", "", ""}));
}

TEST_F(Form1IdFile, CancelledOpenLeavesTheFields)
{
    fill({"MTS", "250", "01", "78", "314"});
    form.CommandOpen->click(); // no choice: the dialog is cancelled
    EXPECT_EQ(dialog.shown.size(), 1);
    EXPECT_EQ(fields(), (QStringList{"MTS", "250", "01", "78", "314"}));
}

TEST_F(Form1IdFile, SaveWritesANewFileThatClsIniReadsBack)
{
    fill({"MTS 3G", "250", "01", "78", "314"});
    save("new.ini");

    EXPECT_EQ(dialog.shown, QStringList{QStringLiteral("save")});
    EXPECT_EQ(dialog.defaultExt, QStringLiteral("ini"));
    EXPECT_EQ(dialog.filter, QStringLiteral("(*.ini)|*.ini"));
    EXPECT_EQ(readFile("new.ini"),
              "[Value]\r\noperator=MTS 3G\r\nmcc=250\r\nmnc=01\r\nlac=78\r\ncellid=314\r\n\r\n");

    clsINI ini;
    ini.setFileName(path("new.ini"));
    EXPECT_EQ(ini.Value(IdFile::Section, IdFile::CellId), QStringLiteral("314"));
    EXPECT_EQ(ini.Value(IdFile::Section, IdFile::Lac), QStringLiteral("78"));
    EXPECT_EQ(ini.Value(IdFile::Section, IdFile::Mnc), QStringLiteral("01"));
    EXPECT_EQ(ini.Value(IdFile::Section, IdFile::Mcc), QStringLiteral("250"));
    EXPECT_EQ(ini.Value(IdFile::Section, IdFile::Operator), QStringLiteral("MTS 3G"));
}

TEST_F(Form1IdFile, SaveWritesFieldsAsTypedAndAnEmptyOperator)
{
    fill({"", "250", "a;b", "x=y", " 314"});
    save("typed.ini");
    EXPECT_EQ(readFile("typed.ini"),
              "[Value]\r\noperator=\r\nmcc=250\r\nmnc=a;b\r\nlac=x=y\r\ncellid= 314\r\n\r\n");
}

TEST_F(Form1IdFile, SaveKeepsOtherSectionsAndUpdatesInPlace)
{
    writeFile("shared.ini", "; kept? no\r\n[First]\r\na=1\r\n[value]\r\nCellID=1\r\n"
                            "[Last]\r\nb=2\r\n");
    fill({"MTS", "250", "01", "78", "314"});
    save("shared.ini");
    EXPECT_EQ(readFile("shared.ini"),
              "[First]\r\na=1\r\n\r\n"
              "[value]\r\nCellID=314\r\noperator=MTS\r\nmcc=250\r\nmnc=01\r\nlac=78\r\n\r\n"
              "[Last]\r\nb=2\r\n\r\n");
}

TEST_F(Form1IdFile, MonitorFileSavedByTheLocatorKeepsItsOrder)
{
    writeFile("cell.ini", monitorFile);
    open("cell.ini");
    form.Txtcellid->setText(QStringLiteral("315"));
    save("cell.ini");
    EXPECT_EQ(readFile("cell.ini"),
              "[Value]\r\ncellid=315\r\nlac=78\r\nmnc=01\r\nmcc=250\r\noperator=MTS 3G\r\n\r\n");
}

TEST_F(Form1IdFile, AnEmptyFieldBlocksTheSaveBeforeTheDialog)
{
    QLineEdit* required[] = {form.Txtmcc, form.Txtmnc, form.Txtlac, form.Txtcellid};
    for (QLineEdit* box : required) {
        SCOPED_TRACE(box->objectName().toStdString());
        fill({"MTS", "250", "01", "78", "314"});
        box->clear();
        save("blocked.ini");
    }
    EXPECT_TRUE(dialog.shown.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(Form1IdFile, CancelledSaveWritesNothing)
{
    fill({"MTS", "250", "01", "78", "314"});
    save("first.ini");
    const QByteArray before = readFile("first.ini");
    form.Txtcellid->setText(QStringLiteral("999"));
    form.CommandSave->click(); // cancelled, after a dialog that chose first.ini

    EXPECT_EQ(dialog.shown.size(), 2);
    EXPECT_EQ(readFile("first.ini"), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("first.ini")});
}

TEST_F(Form1IdFile, AFileThatCannotBeReadIsNotOverwritten)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("cell.ini")));
    fill({"MTS", "250", "01", "78", "314"});
    save("cell.ini");

    EXPECT_TRUE(QFileInfo(path("cell.ini")).isDir());
    EXPECT_TRUE(QDir(path("cell.ini")).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("cell.ini")});
    EXPECT_TRUE(messages.shown.isEmpty()) << "the file actions show no message";
}

} // namespace
