#include "ini/IdFile.h"
#include "packaging/icons/ProgramIcon.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"
#include "tests/support/TestApp.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{

// A file as the monitor writes it from nothing.
const QByteArray monitorFile =
    "[Value]\r\ncellid=314\r\nlac=78\r\nmnc=01\r\nmcc=250\r\noperator=MTS 3G\r\n\r\n";

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
    QStringList folder() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QStringList fields() const
    {
        QStringList texts;
        for (QLineEdit* box : boxes)
            texts << box->text();
        return texts;
    }
    void fill(const QStringList& values)
    {
        for (int i = 0; i < 5; ++i)
            boxes[i]->setText(values[i]);
    }
    // Clicks the button; the dialog picks `name`, or is cancelled when it is nullptr.
    void use(QPushButton* button, const char* name)
    {
        dialog.nextChoices = name ? QStringList{path(name)} : QStringList{};
        button->click();
    }

    WidgetApp app;
    QTemporaryDir dir;
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form{dialog, loader, opener, messages};
    const QList<QLineEdit*> boxes{form.Txtoperator, form.Txtmcc, form.Txtmnc, form.Txtlac,
                                  form.Txtcellid};
    const QStringList cell{"MTS", "250", "01", "78", "314"};
};

TEST_F(Form1IdFile, OpenFillsTheFieldsAndACancelChangesNothing)
{
    writeFile("cell.ini", monitorFile);
    use(form.CommandOpen, "cell.ini");
    EXPECT_EQ(fields(), (QStringList{"MTS 3G", "250", "01", "78", "314"}));
    EXPECT_EQ(dialog.defaultExt, QStringLiteral("ini"));
    EXPECT_EQ(dialog.filter, QStringLiteral("(*.ini)|*.ini"));

    fill(cell);
    use(form.CommandOpen, nullptr);
    EXPECT_EQ(fields(), cell);
}

TEST_F(Form1IdFile, SaveWritesTheFieldsAsTheyAreOnlyForAFullCell)
{
    fill({"", "250", "a;b", "x=y", " 314"});
    use(form.CommandSave, "new.ini");
    EXPECT_EQ(dialog.shown, QStringList{QStringLiteral("save")});
    EXPECT_EQ(readFile("new.ini"),
              "[Value]\r\noperator=\r\nmcc=250\r\nmnc=a;b\r\nlac=x=y\r\ncellid= 314\r\n\r\n");

    for (QLineEdit* box : {form.Txtmcc, form.Txtmnc, form.Txtlac, form.Txtcellid}) {
        fill(cell);
        box->clear();
        use(form.CommandSave, "blocked.ini");
    }
    EXPECT_EQ(dialog.shown.size(), 1) << "an empty field blocks before the dialog";
    EXPECT_EQ(folder(), QStringList{"new.ini"});
    EXPECT_TRUE(messages.shown.isEmpty() && messages.asked.isEmpty());
}

// The icon's pictures are compared with the installed ones in packaging/tests.
TEST_F(Form1IdFile, TheWindowShowsTheProgramIcon)
{
    EXPECT_EQ(form.windowIcon().pixmap(QSize(32, 32)).toImage(),
              programIcon(QStringLiteral("plover")).pixmap(QSize(32, 32)).toImage());
}

// What replacing an existing file asks, and what each answer leaves on disk.
TEST_F(Form1IdFile, ReplacingAFileAsksFirstAndTwiceForOneThatIsNoIdFile)
{
    const QByteArray notes = "Buy milk\nCall Anna\n";
    const QByteArray binary(3000, '\0');
    const QByteArray saved =
        "[Value]\r\noperator=MTS\r\nmcc=250\r\nmnc=01\r\nlac=78\r\ncellid=314\r\n\r\n";
    const QByteArray shared =
        "; a comment\r\n[First]\r\na=1\r\n[value]\r\nCellID=1\r\n[Last]\r\nb=2\r\n";
    const QByteArray sharedSaved =
        "[First]\r\na=1\r\n\r\n"
        "[value]\r\nCellID=314\r\noperator=MTS\r\nmcc=250\r\nmnc=01\r\nlac=78\r\n\r\n"
        "[Last]\r\nb=2\r\n\r\n";
    const char* outside = "2 lines of text outside any section (the first: \u201cBuy milk\u201d)";
    const struct {
        const char* shows;
        QByteArray before;
        QList<bool> answers; // one question each; the first asks whether to replace
        const char* second;  // a part of the second question
        QByteArray after;
    } rows[] = {
        {"an ID file, declined", monitorFile, {false}, nullptr, monitorFile},
        {"an empty file, agreed", "", {true}, nullptr, saved},
        {"a comment and other sections, agreed once", shared, {true}, nullptr, sharedSaved},
        {"notes, declined at the second question", notes, {true, false}, outside, notes},
        {"a binary file, declined",
         binary,
         {true, false},
         "3000 bytes, which are not text",
         binary},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        writeFile("notes.txt", row.before);
        messages.asked.clear();
        messages.answers = row.answers;
        fill(cell);
        use(form.CommandSave, "notes.txt");
        ASSERT_EQ(messages.asked.size(), row.answers.size());
        EXPECT_TRUE(messages.asked[0].text.contains("already exists"));
        EXPECT_TRUE(!row.second || messages.asked[1].text.contains(row.second));
        for (const auto& question : messages.asked)
            EXPECT_TRUE(question.text.contains(path("notes.txt"))) << question.text.toStdString();
        EXPECT_EQ(readFile("notes.txt"), row.after);
        EXPECT_EQ(folder(), QStringList{"notes.txt"});
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

// Only a regular file of at most 1 MiB is read, for opening and for saving into; anything else
// is named in a message and left alone, and the fields keep what they held.
TEST_F(Form1IdFile, PicksThatAreNoFileOrTooLargeAreRefused)
{
    ASSERT_EQ(mkfifo(path("fifo.ini").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.ini")));
    writeFile("large.ini", "[Value]\r\nmcc=1\r\n" + QByteArray(IdFileSizeLimit, ';'));
    const struct {
        const char* name;
        const char* reason;
    } rows[] = {
        {"fifo.ini", "it is a named pipe (FIFO), not a file"},
        {"folder.ini", "it is a folder"},
        {"zero.ini", "it is a device, not a file"},
        {"large.ini", "it is larger than 1 MiB (1048592 bytes)"},
        {"missing/cell.ini", "it cannot be created: No such file or directory"},
    };
    const QStringList before = folder();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (QPushButton* button : {form.CommandOpen, form.CommandSave}) {
            fill(cell);
            messages.shown.clear();
            use(button, row.name);
            if (button == form.CommandOpen && QByteArray(row.name).startsWith("missing")) {
                EXPECT_EQ(fields(), QStringList(5, "")) << "no such file opens as an empty one";
                continue;
            }
            ASSERT_EQ(messages.shown.size(), 1);
            EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
            EXPECT_TRUE(messages.shown[0].text.startsWith(
                QStringLiteral("\u201c%1\u201d was not %2: %3")
                    .arg(path(row.name), button == form.CommandOpen ? "opened" : "saved",
                         QString::fromUtf8(row.reason))))
                << messages.shown[0].text.toStdString();
            EXPECT_EQ(fields(), cell);
        }
    }
    EXPECT_TRUE(messages.asked.isEmpty());
    EXPECT_EQ(folder(), before);
    EXPECT_TRUE(QFileInfo(path("large.ini")).size() > IdFileSizeLimit);
}

} // namespace
