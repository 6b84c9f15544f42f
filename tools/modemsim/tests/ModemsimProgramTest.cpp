// The `modemsim` program as people use it: path on the first line, scenario file, live lines
// on standard input, command log.
#include "tools/modemsim/tests/PtyClient.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class ModemsimProgram : public ::testing::Test
{
protected:
    QString writeFile(const QString& name, const QByteArray& text)
    {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return file.fileName();
    }

    // Starts the program and returns the path it prints.
    QString start(const QStringList& arguments)
    {
        program.start(MODEMSIM_PROGRAM, arguments);
        if (!program.waitForStarted(5000))
            return {};
        while (!program.canReadLine() && program.waitForReadyRead(5000)) {
        }
        return QString::fromLocal8Bit(program.readLine()).trimmed();
    }

    // Sends the command until its reply holds `expected` (a line on standard input takes
    // effect a moment after it is written).
    bool eventuallyReplies(PtyClient& client, const QByteArray& command, const QByteArray& expected)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            client.write(command + '\r');
            if (client.readUntil("OK\r\n").contains(expected))
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    QProcess program;
};

} // namespace

TEST_F(ModemsimProgram, PlaysItsScenarioTakesLiveLinesAndLogs)
{
    const QString scenario = writeFile("s.txt", "# weak start\nrssi 5\nat 0s echo off\n");
    const QString log = dir.filePath("commands.log");
    const QString path = start({"--scenario", scenario, "--log", log});
    ASSERT_TRUE(path.startsWith("/dev/pts/")) << path.toStdString();

    // The scenario's starting state is in place once the path is printed.
    PtyClient client(path);
    ASSERT_TRUE(client.isOpen());
    client.write("AT+CSQ\r");
    EXPECT_EQ(client.readUntil("OK\r\n"), "\r\n+CSQ: 5,99\r\n\r\nOK\r\n");
    program.write("rssi 9\n");
    ASSERT_TRUE(program.waitForBytesWritten(5000));
    EXPECT_TRUE(eventuallyReplies(client, "AT+CSQ", "+CSQ: 9,99"));
    program.write("quit\n");
    ASSERT_TRUE(program.waitForBytesWritten(5000));
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitCode(), 0);

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> fields = file.readLine().trimmed().split('\t');
    ASSERT_EQ(fields.size(), 4);
    EXPECT_LE(fields[0].toDouble(), fields[1].toDouble()); // arrival, then reply written
    EXPECT_EQ(fields[2], "AT+CSQ");
    EXPECT_EQ(fields[3], "\\r\\n+CSQ: 5,99\\r\\n\\r\\nOK\\r\\n");
}

TEST_F(ModemsimProgram, KeepsALinkAndStopsOnSigterm)
{
    const QString link = dir.filePath("ttyUSB1");
    EXPECT_EQ(start({"--link", link}), link);
    PtyClient client(link);
    ASSERT_TRUE(client.isOpen());
    client.write("AT\r");
    EXPECT_EQ(client.readUntil("OK\r\n"), "AT\r\r\nOK\r\n");
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(QFile::exists(link));
}

TEST_F(ModemsimProgram, RefusesABadScenarioNamingTheLine)
{
    const QString scenario = writeFile("bad.txt", "rssi 5\nat 3s teleport\n");
    program.start(MODEMSIM_PROGRAM, {"--scenario", scenario});
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("line 2: unknown action \"teleport\""));
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}
