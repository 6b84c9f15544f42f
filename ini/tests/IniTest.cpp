#include "ini/IdFileNames.h"
#include "ini/IniFile.h"
#include "ini/IniReader.h"
#include "ini/IniWriter.h"
#include "ini/clsINI.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextPrinter.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{

// A document in one line, "[section]{name|value}...", so that a table row can say what it
// expects and a failure shows what was read.
QString render(const IniDocument& document)
{
    QString text;
    for (const IniSection& section : document.Sections) {
        text += u'[' + section.Name + u']';
        for (const IniEntry& entry : section.Values)
            text += u'{' + entry.Name + u'|' + entry.Value + u'}';
    }
    return text;
}

TEST(IniReader, ReadsEachKindOfLine)
{
    const struct {
        const char* shows;
        QByteArray file;
        QString read;
    } rows[] = {
        {"HeaderWithSpacesAround", "  [Value]  ", "[Value]"},
        {"IndentedComment", "[s]\r\n   ; note", "[s]"},
        {"SemicolonCutsKeepingSpace", "[s]\r\nx=1 ;note", "[s]{x|1 }"},
        {"SpacesAroundEqualsBelong", "[s]\r\na = b", "[s]{a | b}"},
        {"FirstEqualsSplits", "[s]\r\na=b=c", "[s]{a|b=c}"},
        {"EmptyBracketsSkipped", "[s]\r\n[]\r\nk=v", "[s]{k|v}"},
        {"UnclosedHeaderDropsItsEntries", "[abc\r\nk=v", ""},
        {"NestedBrackets", "[[a]]", "[[a]"},
        {"NoEqualsSkipped", "[s]\r\nabc", "[s]"},
        {"EmptyValue", "[s]\r\na=", "[s]{a|}"},
        {"TabsStay", "[s]\r\n\tk\t=\tv\t", "[s]{\tk\t|\tv\t}"},
        {"EntryBeforeFirstHeader", "k=v\r\n[s]", "[s]"},
        {"SemicolonInHeaderJoinsEntries", "[a]\r\n[b;c]\r\nk=v", "[a]{k|v}"},
        {"CaseDuplicatesKept", "[a]\r\nk=1\r\nK=2\r\n[A]", "[a]{k|1}{K|2}[A]"},
        {"LoneLfEndsLine", "[s]\nk=v\nj=w\n", "[s]{k|v}{j|w}"},
        {"LfCrIsTwoEnds", "[s]\r\nk=v\n\rj=w", "[s]{k|v}{j|w}"},
        {"ByteOrderMarkSkipped", "\xEF\xBB\xBF[s]\r\nk=v", "[s]{k|v}"},
        {"SecondByteOrderMarkKept", "\xEF\xBB\xBF\xEF\xBB\xBF[s]", ""},
        {"Utf8Text", "[Значение]\r\nоператор=МТС", "[Значение]{оператор|МТС}"},
        {"InvalidUtf8Replaced", "[s]\r\nk=a\xFF?", "[s]{k|a\uFFFD?}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(render(readIniDocument(row.file)), row.read);
    }
}

TEST(IniWriter, WriteThenReadLosesOnlyWhatTheFormatCannotHold)
{
    const struct {
        const char* shows;
        IniDocument written;
        QString read;
    } rows[] = {
        {"Survives",
         {{{"Значение", {{"k", "v"}, {"e", ""}, {"K", "2"}}}, {"Значение", {}}}},
         "[Значение]{k|v}{e|}{K|2}[Значение]"},
        {"SemicolonInValueCuts", {{{"s", {{"k", "a;b"}}}}}, "[s]{k|a}"},
        {"TrailingSpacesOfValueLost", {{{"s", {{"k", "v  "}}}}}, "[s]{k|v}"},
        {"EqualsInNameSplits", {{{"s", {{"a=b", "c"}}}}}, "[s]{a|b=c}"},
        {"SemicolonInNameDropped", {{{"s", {{"a;b", "v"}}}}}, "[s]"},
        {"BracketNameReadsAsHeader", {{{"s", {{"[x]y", "v"}}}}}, "[s][x]"},
        {"EmptyEntryNameDropped", {{{"s", {{"", "v"}}}}}, "[s]"},
        {"BracketInSectionNameCuts", {{{"a]b", {}}}}, "[a]"},
        {"EmptySectionName", {{{"s", {{"k", "1"}}}, {"", {{"j", "2"}}}}}, "[s]{k|1}{j|2}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(render(readIniDocument(writeIniDocument(row.written))), row.read);
    }
}

class ClsIni : public testing::Test
{
protected:
    // An instance that has read `text` from a real file, doc.ini.
    clsINI loaded(const QByteArray& text)
    {
        EXPECT_TRUE(folder.write("doc.ini", text));
        clsINI ini;
        ini.setFileName(path);
        return ini;
    }

    TempFolder folder;
    const QString path = folder.path("doc.ini");
};

// Names match case-insensitively beyond ASCII, untrimmed, and the first match wins; a miss
// differs from an empty value, and positions run from one.
TEST_F(ClsIni, FindsTheFirstMatchOfANameAndTellsMissesFromEmptyValues)
{
    clsINI ini =
        loaded("[a]\r\nÄpfel=1\r\näpfel=2\r\nk=\r\n[A]\r\nonly=3\r\n[b]\r\n[Значение]\r\nключ=4");
    EXPECT_EQ(ini.Value("A", "ÄPFEL"), QString("1"));
    EXPECT_EQ(ini.Value("значение", "КЛЮЧ"), QString("4"));
    EXPECT_EQ(ini.Value("a", "k"), QString(""));
    const QStringList misses{ini.Value("a ", "Äpfel"), ini.Value("a", "x"),   ini.Value("u", "k"),
                             ini.ValueName("u", 1),    ini.ValueName("a", 0), ini.ValueName("a", 4),
                             ini.SectionName(0),       ini.SectionName(5)};
    EXPECT_EQ(misses, QStringList(misses.size(), IniMissMarker));
    EXPECT_EQ(ini.ValuesCount("b"), 0);
    EXPECT_EQ(ini.ValuesCount("u"), -1);
    // Later duplicates are reached by position only.
    EXPECT_FALSE(ini.ValueExists("a", "only") || ini.RemoveValue("A", "only"));
    EXPECT_FALSE(ini.ValueExists("u", "k") || ini.RemoveSection("u") || ini.RemoveValue("u", "k"));

    ini.setValue("A", "äPFEL", "9");
    EXPECT_EQ(ini.ValueName("a", 1), QString("Äpfel")); // names stay as first stored
    EXPECT_EQ(ini.Value("a", "äpfel"), QString("9"));
    EXPECT_FALSE(ini.AddValue("a", "K", "x"));
    EXPECT_EQ(ini.Value("a", "k"), QString(""));
    EXPECT_TRUE(ini.RemoveValue("a", "ÄPFEL") && ini.RemoveSection("B"));
    EXPECT_EQ(ini.ValueName("a", 1), QString("äpfel"));
    EXPECT_EQ(ini.SectionName(3), QString("Значение"));
    EXPECT_FALSE(ini.AddSection("значение"));
    EXPECT_TRUE(ini.AddValue(" New", " Mixed Case"));
    EXPECT_EQ(ini.SectionName(4), QString(" New"));
    EXPECT_EQ(ini.SectionsCount(), 4);
}

// A folder cannot be read, nor a file written in a folder that does not exist; a name changed
// to none empties the document and leaves nowhere to write, without error.
TEST_F(ClsIni, UnusablePathsThrowNamingFileAndReason)
{
    ASSERT_TRUE(QDir().mkdir(folder.path("folder")));
    for (const QString& unusable : {folder.path("folder"), folder.path("missing/id.ini")}) {
        try {
            clsINI ini;
            ini.setFileName(unusable);
            ini.AddSection("s");
            ini.UpdateFile();
            ADD_FAILURE() << "no IniFileError for " << unusable.toStdString();
        } catch (const IniFileError& error) {
            EXPECT_EQ(error.fileName(), unusable);
            EXPECT_TRUE(error.reason().contains("directory")) << error.what();
            EXPECT_TRUE(QString(error.what()).contains(unusable + "\" " + error.reason()));
        }
    }
    // A missing file reads as empty, under the name as given.
    clsINI ini = loaded("[a]\r\nk=1\r\n");
    const QString unnormalised = folder.path("./sub/../missing.ini");
    ini.setFileName(unnormalised);
    EXPECT_EQ(ini.FileName(), unnormalised);
    EXPECT_EQ(ini.SectionsCount(), 0);
    ini.AddSection("a");
    ini.setFileName("");
    EXPECT_FALSE(ini.SectionsCount() > 0 || ini.UpdateFile());
}

// Fails the steps that a folder without write permission and a full disk refuse, as the system
// would: the tests run as root, whom no folder refuses.
struct RefusingSystem : IniFileSystem {
    int createError = 0, renameError = 0, reserveError = 0;
    int createNew(const QByteArray& path, int& fd) override
    {
        return createError ? createError : IniFileSystem::createNew(path, fd);
    }
    int rename(const QByteArray& from, const QByteArray& to) override
    {
        return renameError ? renameError : IniFileSystem::rename(from, to);
    }
    int reserve(int fd, qint64 length) override
    {
        return reserveError ? reserveError : IniFileSystem::reserve(fd, length);
    }
};

// A save replaces the file or, where the folder refuses, rewrites it in place: either way the old
// bytes stay whole unless all the new ones are written, and the reason is the system's. A
// file-size limit (RLIMIT_FSIZE) makes the real write or reservation fail, as a full disk would.
TEST_F(ClsIni, AFailedSaveLeavesTheOldFileWholeAndSaysWhy)
{
    const QByteArray old = "[Value]\r\ncellid=1\r\noperator=MTS\r\n\r\n";
    const QByteArray shorter = "[Value]\r\ncellid=2\r\n\r\n", longer = shorter + old;
    const struct {
        const char* shows;
        int create, rename, reserve; // error numbers, as RefusingSystem takes them
        bool limited;                // to fewer bytes than `longer`
        QByteArray written;
        const char* failure;
    } rows[] = {
        {"replaced", 0, 0, 0, false, longer, ""},
        {"full disk, temporary file", 0, 0, 0, true, longer, "cannot be written: File too large"},
        {"read-only folder: in place, cut", EACCES, 0, 0, false, shorter, ""},
        {"read-only folder, full disk", EACCES, 0, ENOSPC, false, longer, "No space left"},
        {"read-only folder, the real reservation", EACCES, 0, 0, true, longer, "File too large"},
        {"rename refused: in place", 0, EPERM, 0, false, longer, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        RefusingSystem system;
        std::tie(system.createError, system.renameError, system.reserveError) =
            std::tuple(row.create, row.rename, row.reserve);
        ASSERT_TRUE(
            folder.write("doc.ini", old) &&
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const auto mode = QFile::permissions(path);
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit limit{row.limited ? rlim_t(old.size() + 8) : saved.rlim_cur, saved.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const QString failure = writeIniFileBytes(path, row.written, system);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_TRUE(*row.failure ? failure.contains(row.failure) : failure.isEmpty())
            << failure.toStdString();
        EXPECT_EQ(fileBytes(path), *row.failure ? old : row.written);
        EXPECT_EQ(QFile::permissions(path), mode);
        EXPECT_EQ(folder.entries(), QStringList{"doc.ini"}); // no leftovers
    }
    // No file to rewrite in place; through a link, the link's file gets the bytes.
    RefusingSystem readOnly;
    readOnly.createError = EACCES;
    EXPECT_EQ(writeIniFileBytes(folder.path("new.ini"), old, readOnly),
              "cannot be created: Permission denied");
    ASSERT_TRUE(QFile::link(path, folder.path("link.ini")));
    EXPECT_EQ(writeIniFileBytes(folder.path("link.ini"), shorter), QString());
    EXPECT_EQ(fileBytes(path), shorter);
    EXPECT_TRUE(QFileInfo(folder.path("link.ini")).isSymLink());
}

// Golden files: read the input (none: the file does not exist yet), edit, write, compare.
TEST_F(ClsIni, WritesExactBytes)
{
    const struct {
        const char* input;
        bool saveId; // what kestrel's "Save id" does, in its order
        const char* expected;
    } rows[] = {{"hand-written.ini", false, "hand-written.expected.ini"},
                {nullptr, true, "id-new.expected.ini"},
                {"id-existing.ini", true, "id-existing.expected.ini"},
                {nullptr, false, "empty.expected.ini"}};
    const QString golden = QStringLiteral(INI_GOLDEN_DIR "/");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        QFile::remove(path);
        ASSERT_TRUE(row.input == nullptr || QFile::copy(golden + row.input, path));
        clsINI ini;
        ini.setFileName(path);
        for (const auto& [name, value] : {std::pair{IdFile::CellId, "12345"},
                                          {IdFile::Lac, "678"},
                                          {IdFile::Mnc, "01"},
                                          {IdFile::Mcc, "250"},
                                          {IdFile::Operator, "MTS 3G"}})
            if (row.saveId)
                ini.setValue(IdFile::Section, name, value);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(fileBytes(path), fileBytes(golden + row.expected));
    }
}

} // namespace
