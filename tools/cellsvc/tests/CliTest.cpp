// Runs the real cellsvc program: import the sample, serve it, ask it, stop it by signal; bad
// command lines and broken files; the socket handed over by systemd.
#include "ProjectVersion.h"
#include "tools/cellsvc/tests/TestSupport.h"

#include <QProcess>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace cellsvc::test;

namespace
{

// cellsvc with its output and errors merged, HOME set to `home` and XDG_DATA_HOME left out;
// `listening`, when given, is handed over as systemd does.
class Program : public QProcess
{
public:
    Program(const QStringList& args, const std::string& home, int listening = -1,
            const QString& binary = CELLSVC_BINARY)
    {
        setProcessChannelMode(MergedChannels);
        setChildProcessModifier([home, listening] {
            ::unsetenv("XDG_DATA_HOME");
            ::setenv("HOME", home.c_str(), 1);
            if (listening >= 0) {
                // At SD_LISTEN_FDS_START, without close-on-exec (dup2 onto itself keeps it).
                listening == 3 ? ::fcntl(3, F_SETFD, 0) : ::dup2(listening, 3);
                ::setenv("LISTEN_FDS", "1", 1);
                ::setenv("LISTEN_PID", std::to_string(::getpid()).c_str(), 1);
            }
        });
        start(binary, args);
    }

    // The next line of output; empty at its end.
    std::string line()
    {
        while (!canReadLine() && waitForReadyRead(10000)) {
        }
        return readLine().toStdString();
    }
    std::string rest()
    {
        waitForFinished(10000);
        return readAll().toStdString();
    }
    // The exit status; -1 for a crash.
    int status() { return exitStatus() == NormalExit ? exitCode() : -1; }
};

TEST(Cli, CellsImportedFromTheFileOrAPipeAreServedUntilSigintStopsTheService)
{
    TempDir dir;
    const std::string database = dir.file("cells.db");
    Program import({"import", CELLSVC_SAMPLE, QString::fromStdString(database)}, dir.file(""));
    const std::string report = import.rest();
    ASSERT_EQ(import.status(), 0) << report;
    for (const char* part : {"read 615 rows",
                             "612 added or updated, 0 kept (the stored row was newer), 3 bad\n"
                             "  line 40: lat \"91.500000\" is not a latitude\n  line 120: ",
                             "\n  line 300: "})
        EXPECT_NE(report.find(part), std::string::npos) << report;
    // Piped in, packed or not, the export gives every row, as the file does.
    for (const char* feed : {"cat", "zcat"}) {
        Program pipe({"-c", QString("%1 %2 | %3 import /dev/stdin %4")
                                .arg(feed, CELLSVC_SAMPLE, CELLSVC_BINARY, database.c_str())},
                     dir.file(""), -1, "/bin/sh");
        const std::string piped = pipe.rest();
        EXPECT_EQ(pipe.status(), 0) << piped;
        EXPECT_NE(piped.find("612 added or updated, 0 kept (the stored row was newer), 3 bad"),
                  std::string::npos)
            << piped;
    }

    // A database from before the index of positions gets it at its first start, merged into the
    // file rather than left in a log that every lookup would search.
    sqlite3* old = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &old), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(old, "DROP INDEX cells_near", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(old);
    Program serve({"serve", QString::fromStdString(database), "--listen=127.0.0.1:0"},
                  dir.file(""));
    EXPECT_NE(serve.line().find("indexing the cell positions"), std::string::npos);
    EXPECT_NE(serve.line().find("indexed the cell positions"), std::string::npos);
    const std::string ready = serve.line();
    ASSERT_NE(ready.find("serving 612 cells"), std::string::npos) << ready;
    const std::string log = database + "-wal";
    EXPECT_TRUE(!std::filesystem::exists(log) || std::filesystem::file_size(log) == 0);
    // The line ends in the address, at http://127.0.0.1:PORT/cellid_location/.
    EXPECT_EQ(Client(std::stoul(ready.substr(ready.rfind(':') + 1))).get(kLookup).status, 200);
    ::kill(serve.processId(), SIGINT);
    EXPECT_NE(serve.rest().find("stopped on"), std::string::npos);
    EXPECT_EQ(serve.status(), 0);
}

// Started by cellsvc.socket for a user without a database: the socket comes from systemd and
// the sample installed beside the program becomes the user's database.
TEST(Cli, SocketFromSystemdServesTheSampleOnFirstStartUntilSigterm)
{
    TempDir dir;
    const auto prefix = std::filesystem::path(dir.file("usr"));
    for (const char* folder : {"bin", "share/cellsvc"})
        std::filesystem::create_directories(prefix / folder);
    std::filesystem::copy_file(CELLSVC_BINARY, prefix / "bin" / "cellsvc");
    std::filesystem::copy_file(kSample, prefix / "share" / "cellsvc" / "cells-sample.csv.gz");

    const int listening = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listening, 16), 0);
    ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length);

    Program serve({"serve"}, dir.file("home"), listening,
                  QString::fromStdString((prefix / "bin" / "cellsvc").string()));
    ::close(listening);
    EXPECT_NE(serve.line().find("imported the sample's 612 cells"), std::string::npos);
    EXPECT_NE(serve.line().find("on the socket from systemd"), std::string::npos);
    EXPECT_EQ(Client(ntohs(address.sin_port)).get(kLookup).status, 200);
    EXPECT_TRUE(std::filesystem::exists(dir.file("home/.local/share/cellsvc/cells.db")));
    serve.terminate();
    EXPECT_NE(serve.rest().find("stopped on"), std::string::npos);
    EXPECT_EQ(serve.status(), 0);
}

// SIGTERM part-way through an import: the exit status says so (128 + 15) and no database is made.
TEST(Cli, AnImportStoppedBySigtermFailsAndLeavesNoDatabase)
{
    TempDir dir;
    std::string rows;
    for (int cell = 0; cell < 1000000; ++cell) // about a second's work
        rows += "GSM,250,1,78," + std::to_string(cell) + ",0,1,1,1,1,1,1,1800000000,0\n";
    const QString file = QString::fromStdString(dir.write("big.csv", rows));
    Program import({"import", file, QString::fromStdString(dir.file("cells.db"))}, dir.file(""));
    ASSERT_TRUE(import.waitForStarted());
    const qint64 pid = import.processId();
    // Its handlers are in place once the database being built appears beside the export.
    while (dir.names().size() < 2 && !import.waitForFinished(1)) {
    }
    ASSERT_EQ(import.state(), QProcess::Running) << "done before it could be stopped";
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    const std::string report = import.rest();
    EXPECT_EQ(import.status(), 128 + SIGTERM) << report;
    EXPECT_NE(report.find("interrupted after"), std::string::npos) << report;
    EXPECT_EQ(dir.names(), std::vector<std::string>{"big.csv"});
}

// A command line or a file that cellsvc cannot use: the exit status, a message that names the
// wrong word, or the file once and what to do, and nothing created or left behind.
TEST(Cli, RefusesWhatItCannotUseInWords)
{
    TempDir dir;
    dir.write("text.db", "not a database\n");
    std::ifstream sample(kSample, std::ios::binary);
    const std::string packed((std::istreambuf_iterator<char>(sample)), {});
    dir.write("cut.csv.gz", packed.substr(0, packed.size() / 2));
    dir.write("cells.csv.bz2", "BZh91AY&SY");
    sqlite3* other = nullptr;
    sqlite3_open(dir.file("other.db").c_str(), &other);
    sqlite3_exec(other, "CREATE TABLE bookmarks (url TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    const std::vector<std::string> prepared = dir.names();

    const struct {
        QStringList args; // "DIR" is replaced by the folder of prepared files
        int status;
        const char* says;
        const char* pathNamedOnce; // a file of DIR, or nothing
    } rows[] = {
        {{"--version"}, 0, kProjectVersion, ""},
        {{"serve", "DIRx.db", "--lisen", "foo"}, 2, "--lisen", ""},
        {{"serve", "DIRx.db", "--listen=::1:8642"}, 2, "--listen takes HOST:PORT", ""},
        {{"serve", "DIR"}, 1, "is a folder", ""},
        {{"serve", "DIRnone.db", "--listen", "127.0.0.1:0"}, 1, "none.db", "none.db"},
        {{"import", CELLSVC_SAMPLE, "DIRother.db"}, 1, "of another program", "other.db"},
        {{"serve", "DIRtext.db"}, 1, "is not an SQLite database", "text.db"},
        {{"import", "DIRcut.csv.gz", "DIRnew.db"}, 1, "download it again", "cut.csv.gz"},
        {{"import", "DIRcells.csv.bz2", "DIRnew.db"}, 1, "is packed with bzip2", ""},
        {{"import", CELLSVC_SAMPLE, "DIRnone/new.db"}, 1, "create the folder first", "none/new.db"},
    };
    for (const auto& row : rows) {
        QStringList args = row.args;
        args.replaceInStrings("DIR", QString::fromStdString(dir.file("")));
        SCOPED_TRACE(args.join(' ').toStdString());
        Program program(args, dir.file(""));
        const std::string output = program.rest();
        EXPECT_EQ(program.status(), row.status) << output;
        EXPECT_NE(output.find(row.says), std::string::npos) << output;
        if (*row.pathNamedOnce) {
            const std::string path = dir.file(row.pathNamedOnce);
            const auto first = output.find(path);
            EXPECT_NE(first, std::string::npos) << output;
            EXPECT_EQ(output.find(path, first + 1), std::string::npos) << output;
        }
        EXPECT_EQ(dir.names(), prepared);
    }
}

} // namespace
