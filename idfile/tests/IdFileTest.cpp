// Opening and saving the ID file a user picked, over real files in a fresh folder: what
// replacing a file asks, and the picks that are refused before a byte is read.
#include "idfile/IdFile.h"

#include "ini/IdFileNames.h"
#include "platform/message/FakeMessageSink.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{

const IdEntries kCell{{IdFile::Operator, "MTS"},
                      {IdFile::Mcc, "250"},
                      {IdFile::Mnc, "01"},
                      {IdFile::Lac, "78"},
                      {IdFile::CellId, "314"}};

class IdFileTest : public testing::Test
{
protected:
    QString path(const char* name) const { return folder.path(name); }

    TempFolder folder;
    FakeMessageSink messages;
};

// What replacing an existing file asks, and what each answer leaves on disk.
TEST_F(IdFileTest, ReplacingAFileAsksFirstAndTwiceForOneThatIsNoIdFile)
{
    const QByteArray idFile = "[Value]\r\ncellid=314\r\nlac=78\r\nmnc=01\r\nmcc=250\r\n\r\n";
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
        {"an ID file, declined", idFile, {false}, nullptr, idFile},
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
        ASSERT_TRUE(folder.write("notes.txt", row.before));
        messages.asked.clear();
        messages.answers = row.answers;
        EXPECT_EQ(saveIdFile(path("notes.txt"), kCell, messages, "plover"),
                  row.after != row.before);
        ASSERT_EQ(messages.asked.size(), row.answers.size());
        EXPECT_TRUE(messages.asked[0].text.contains("already exists"));
        EXPECT_TRUE(!row.second || messages.asked[1].text.contains(row.second));
        for (const auto& question : messages.asked) {
            EXPECT_EQ(question.title, QStringLiteral("plover"));
            EXPECT_TRUE(question.text.contains(path("notes.txt"))) << question.text.toStdString();
        }
        EXPECT_EQ(folder.read("notes.txt"), row.after);
        EXPECT_EQ(folder.entries(), QStringList{"notes.txt"});
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

// Only a regular file of at most 1 MiB is read, for opening and for saving into; anything else
// is named in a message and left alone.
TEST_F(IdFileTest, PicksThatAreNoFileOrTooLargeAreRefused)
{
    ASSERT_EQ(mkfifo(path("fifo.ini").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(path("folder.ini")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.ini")));
    ASSERT_TRUE(
        folder.write("large.ini", "[Value]\r\nmcc=1\r\n" + QByteArray(IdFileSizeLimit, ';')));
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
    const QStringList before = folder.entries();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        messages.shown.clear();
        const std::optional<CellIdentity> opened = openIdFile(path(row.name), messages, "plover");
        const bool saved = saveIdFile(path(row.name), kCell, messages, "plover");
        const bool missing = QByteArray(row.name).startsWith("missing");
        // No such file opens as an empty one; only the save fails.
        EXPECT_EQ(opened.has_value(), missing);
        EXPECT_TRUE(!missing || opened->mcc.isEmpty());
        EXPECT_FALSE(saved);
        ASSERT_EQ(messages.shown.size(), missing ? 1 : 2);
        for (qsizetype i = 0; i < messages.shown.size(); ++i) {
            const bool opening = !missing && i == 0;
            EXPECT_EQ(messages.shown[i].title, QStringLiteral("plover"));
            EXPECT_TRUE(messages.shown[i].text.startsWith(
                QStringLiteral("\u201c%1\u201d was not %2: %3")
                    .arg(path(row.name), opening ? "opened" : "saved",
                         QString::fromUtf8(row.reason))))
                << messages.shown[i].text.toStdString();
        }
    }
    EXPECT_TRUE(messages.asked.isEmpty());
    EXPECT_EQ(folder.entries(), before);
    EXPECT_TRUE(QFileInfo(path("large.ini")).size() > IdFileSizeLimit);
}

} // namespace
