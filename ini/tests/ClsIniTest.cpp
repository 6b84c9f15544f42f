#include "ini/clsINI.h"

#include "ini/IdFileNames.h"
#include "ini/tests/IniTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class ClsIni : public testing::Test
{
protected:
    // An instance that has read `text` from a real file, doc.ini.
    clsINI loaded(const QByteArray& text)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        clsINI ini;
        ini.setFileName(path);
        return ini;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("doc.ini");
};

TEST_F(ClsIni, MissesDifferFromEmptyValuesAndPositionsRunFromOne)
{
    clsINI ini = loaded("[a]\r\nk1=\r\nk2=2\r\n[b]\r\n[c]\r\n");
    EXPECT_EQ(ini.Value("a", "k1"), QString(""));
    EXPECT_EQ(ini.Value("a", "x"), IniMissMarker);
    EXPECT_EQ(ini.ValuesCount("b"), 0);
    EXPECT_EQ(ini.ValuesCount("u"), -1);
    EXPECT_FALSE(ini.ValueExists("u", "k1"));
    EXPECT_EQ(ini.Value("u", "k1"), IniMissMarker);
    EXPECT_EQ(ini.ValueName("u", 1), IniMissMarker);
    EXPECT_FALSE(ini.RemoveSection("u"));
    EXPECT_FALSE(ini.RemoveValue("u", "k1"));
    EXPECT_EQ(ini.SectionName(0), IniMissMarker);
    EXPECT_EQ(ini.SectionName(4), IniMissMarker);
    EXPECT_EQ(ini.ValueName("a", 0), IniMissMarker);
    EXPECT_EQ(ini.ValueName("a", 3), IniMissMarker);
    EXPECT_TRUE(ini.RemoveSection("B"));
    EXPECT_EQ(ini.SectionName(2), QString("c"));
    EXPECT_TRUE(ini.RemoveValue("a", "K1"));
    EXPECT_EQ(ini.ValueName("a", 1), QString("k2"));
}

TEST_F(ClsIni, FirstMatchWinsCaseInsensitivelyBeyondAscii)
{
    clsINI ini =
        loaded("[Zone]\r\nÄpfel=1\r\näpfel=2\r\n[ZONE]\r\nonly=3\r\n[Значение]\r\nключ=4\r\n");
    EXPECT_EQ(ini.Value("zone", "ÄPFEL"), QString("1"));
    EXPECT_EQ(ini.Value("значение", "КЛЮЧ"), QString("4"));
    EXPECT_EQ(ini.Value("Zone ", "Äpfel"), IniMissMarker); // nothing is trimmed
    EXPECT_FALSE(ini.ValueExists("zone", "only"));         // later duplicates: by position only
    EXPECT_FALSE(ini.RemoveValue("ZONE", "only"));
    ini.setValue("ZONE", "äPFEL", "9");
    EXPECT_EQ(ini.ValueName("zone", 1), QString("Äpfel")); // names stay as first stored
    EXPECT_EQ(ini.Value("zone", "äpfel"), QString("9"));
    EXPECT_EQ(ini.ValueName("zone", 2), QString("äpfel"));
    EXPECT_EQ(ini.SectionsCount(), 3);
}

TEST_F(ClsIni, AddValueKeepsExistingSetValueReplaces)
{
    clsINI ini;
    EXPECT_TRUE(ini.AddValue(" New", " Mixed Case"));
    EXPECT_EQ(ini.SectionName(1), QString(" New"));
    EXPECT_FALSE(ini.AddValue(" NEW", " MIXED CASE", "x"));
    EXPECT_EQ(ini.Value(" new", " mixed case"), QString(""));
    ini.setValue(" new", " mixed case", "x");
    EXPECT_EQ(ini.Value(" New", " Mixed Case"), QString("x"));
    EXPECT_FALSE(ini.AddSection(" nEW"));
    EXPECT_TRUE(ini.AddSection("other"));
    EXPECT_EQ(ini.ValuesCount(" New"), 1);
    EXPECT_EQ(ini.SectionsCount(), 2);
}

TEST_F(ClsIni, AssigningAFileNameReplacesTheDocument)
{
    clsINI ini = loaded("[a]\r\nk=1\r\n");
    const QString unnormalised = dir.path() + "/./sub/../missing.ini";
    ini.setFileName(unnormalised);
    EXPECT_EQ(ini.FileName(), unnormalised);
    EXPECT_EQ(ini.SectionsCount(), 0);
    ini.AddSection("a");
    ini.setFileName(""); // no error: the document ends empty and there is nowhere to write
    EXPECT_EQ(ini.SectionsCount(), 0);
    EXPECT_FALSE(ini.UpdateFile());
}

TEST_F(ClsIni, UnusablePathsThrowNamingFileAndReason)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const auto read = [](clsINI& ini, const QString& path) { ini.setFileName(path); };
    const auto write = [](clsINI& ini, const QString& path) {
        ini.setFileName(path); // reads as empty: the path holds no file
        ini.AddSection("s");
        ini.UpdateFile();
    };
    const struct {
        const char* shows;
        QString path;
        void (*act)(clsINI&, const QString&);
    } rows[] = {{"ReadDirectory", dir.filePath("folder"), read},
                {"WriteDirectory", dir.filePath("folder"), write},
                {"WriteInMissingFolder", dir.filePath("missing/id.ini"), write}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        try {
            clsINI ini;
            row.act(ini, row.path);
            ADD_FAILURE() << "no IniFileError";
        } catch (const IniFileError& error) {
            EXPECT_EQ(error.fileName(), row.path);
            EXPECT_TRUE(error.reason().contains("directory")) << error.what();
            EXPECT_TRUE(QString(error.what()).contains(row.path + "\" " + error.reason()));
        }
    }
}

// RLIMIT_FSIZE makes the write fail part way, as a full disk would; root ignores permissions.
TEST_F(ClsIni, FailedUpdateLeavesOldFileWhole)
{
    const QByteArray old = "[Value]\r\ncellid=1\r\n\r\n";
    clsINI ini = loaded(old);
    ini.setValue("Value", "operator", QString(64, u'x'));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(ini.UpdateFile(), IniFileError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(bytesOf(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.ini"}); // no leftovers
    EXPECT_EQ(ini.Value("value", "OPERATOR").size(), 64);
}

TEST_F(ClsIni, UpdateKeepsPermissions)
{
    clsINI ini = loaded("[a]\r\n");
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    const auto mode = QFile::permissions(path);
    ini.setValue("a", "k", "v");
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(QFile::permissions(path), mode);
}

// What kestrel's "Save id" does, in its order.
void saveCellId(clsINI& ini)
{
    ini.setValue(IdFile::Section, IdFile::CellId, "12345");
    ini.setValue(IdFile::Section, IdFile::Lac, "678");
    ini.setValue(IdFile::Section, IdFile::Mnc, "01");
    ini.setValue(IdFile::Section, IdFile::Mcc, "250");
    ini.setValue(IdFile::Section, IdFile::Operator, "MTS 3G");
}

// Golden files: read the input (none: the file does not exist yet), edit, write, compare.
TEST_F(ClsIni, WritesExactBytes)
{
    const struct {
        const char* input;
        void (*edit)(clsINI&);
        const char* expected;
    } rows[] = {{"hand-written.ini", [](clsINI&) {}, "hand-written.expected.ini"},
                {nullptr, saveCellId, "id-new.expected.ini"},
                {"id-existing.ini", saveCellId, "id-existing.expected.ini"},
                {nullptr, [](clsINI&) {}, "empty.expected.ini"}};
    const QString golden = QStringLiteral(INI_GOLDEN_DIR "/");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        QFile::remove(path);
        ASSERT_TRUE(row.input == nullptr || QFile::copy(golden + row.input, path));
        clsINI ini;
        ini.setFileName(path);
        row.edit(ini);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(bytesOf(path), bytesOf(golden + row.expected));
    }
}

} // namespace
