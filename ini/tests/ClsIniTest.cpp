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

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class ClsIni : public testing::Test
{
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // An instance that has read `text` from a real file.
    clsINI loaded(const QByteArray& text)
    {
        writeBytes(path("doc.ini"), text);
        clsINI ini;
        ini.setFileName(path("doc.ini"));
        return ini;
    }

    QTemporaryDir dir;
};

TEST_F(ClsIni, MissesAreResultsAndDifferFromEmptyValues)
{
    clsINI ini = loaded("[s]\r\nk=\r\n[t]\r\n");
    EXPECT_EQ(ini.Value("s", "k"), QString(""));
    EXPECT_EQ(ini.Value("s", "x"), IniMissMarker);
    EXPECT_EQ(ini.ValuesCount("t"), 0);
    EXPECT_FALSE(ini.SectionExists("u"));
    EXPECT_FALSE(ini.ValueExists("u", "k"));
    EXPECT_EQ(ini.ValuesCount("u"), -1);
    EXPECT_EQ(ini.Value("u", "k"), IniMissMarker);
    EXPECT_EQ(ini.ValueName("u", 1), IniMissMarker);
    EXPECT_FALSE(ini.RemoveSection("u"));
    EXPECT_FALSE(ini.RemoveValue("u", "k"));
    EXPECT_EQ(ini.SectionsCount(), 2);
}

TEST_F(ClsIni, PositionsRunFromOneAndCloseGaps)
{
    clsINI ini = loaded("[a]\r\nk1=1\r\nk2=2\r\n[b]\r\n[c]\r\n");
    EXPECT_EQ(ini.SectionName(0), IniMissMarker);
    EXPECT_EQ(ini.SectionName(3), QString("c"));
    EXPECT_EQ(ini.SectionName(4), IniMissMarker);
    EXPECT_EQ(ini.ValueName("a", 0), IniMissMarker);
    EXPECT_EQ(ini.ValueName("a", 2), QString("k2"));
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
    EXPECT_EQ(ini.SectionName(1), QString("Zone"));
    EXPECT_EQ(ini.SectionsCount(), 3);
}

TEST_F(ClsIni, AddValueKeepsExistingSetValueReplaces)
{
    clsINI ini;
    EXPECT_TRUE(ini.AddValue(" New Section", " Mixed Case"));
    EXPECT_EQ(ini.SectionName(1), QString(" New Section"));
    EXPECT_EQ(ini.Value(" new section", " mixed case"), QString(""));
    EXPECT_FALSE(ini.AddValue(" NEW SECTION", " MIXED CASE", "x"));
    EXPECT_EQ(ini.Value(" new section", " mixed case"), QString(""));
    ini.setValue(" new section", " mixed case", "x");
    EXPECT_EQ(ini.Value(" New Section", " Mixed Case"), QString("x"));
    EXPECT_FALSE(ini.AddSection(" NEW section"));
    EXPECT_TRUE(ini.AddSection("other"));
    EXPECT_EQ(ini.ValuesCount(" New Section"), 1);
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
    ini.setFileName(""); // not an error: the document ends empty, and there is nothing to write
    EXPECT_EQ(ini.SectionsCount(), 0);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries) ==
                QStringList{"doc.ini"});
}

TEST_F(ClsIni, MissingFileReadsEmptyAndIsCreatedOnUpdate)
{
    clsINI ini;
    ini.setFileName(path("new.ini"));
    EXPECT_EQ(ini.SectionsCount(), 0);
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(QFile::exists(path("new.ini")));
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
        const char* what;
        QString path;
        void (*act)(clsINI&, const QString&);
    } rows[] = {{"ReadDirectory", path("folder"), read},
                {"WriteDirectory", path("folder"), write},
                {"WriteInMissingFolder", path("missing/id.ini"), write}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
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
    EXPECT_EQ(bytesOf(path("doc.ini")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.ini"});
    EXPECT_EQ(ini.Value("value", "OPERATOR").size(), 64); // the document is unchanged
}

TEST_F(ClsIni, UpdateKeepsPermissions)
{
    clsINI ini = loaded("[a]\r\n");
    ASSERT_TRUE(QFile::setPermissions(path("doc.ini"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    const auto mode = QFile::permissions(path("doc.ini"));
    ini.setValue("a", "k", "v");
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(QFile::permissions(path("doc.ini")), mode);
}

struct GoldenCase {
    const char* name;
    const char* input; // copied in before reading; nullptr: no file yet
    void (*edit)(clsINI&);
    const char* expected;
};

void PrintTo(const GoldenCase& row, std::ostream* out)
{
    *out << row.name;
}

class IniGoldenFile : public testing::TestWithParam<GoldenCase>
{
};

TEST_P(IniGoldenFile, WritesExactBytes)
{
    const GoldenCase& golden = GetParam();
    QTemporaryDir dir;
    const QString target = dir.filePath("out.ini");
    if (golden.input != nullptr) {
        ASSERT_TRUE(QFile::copy(QString(INI_GOLDEN_DIR "/") + golden.input, target));
    }
    clsINI ini;
    ini.setFileName(target);
    golden.edit(ini);
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(bytesOf(target), bytesOf(QString(INI_GOLDEN_DIR "/") + golden.expected));
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

INSTANTIATE_TEST_SUITE_P(
    Files, IniGoldenFile,
    testing::Values(GoldenCase{"HandWrittenNormalised", "hand-written.ini", [](clsINI&) {},
                               "hand-written.expected.ini"},
                    GoldenCase{"NewIdFile", nullptr, saveCellId, "id-new.expected.ini"},
                    GoldenCase{"ExistingIdFileUpdatedInPlace", "id-existing.ini", saveCellId,
                               "id-existing.expected.ini"},
                    GoldenCase{"EmptyDocumentZeroBytes", nullptr, [](clsINI&) {},
                               "empty.expected.ini"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
