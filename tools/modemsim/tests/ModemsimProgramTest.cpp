// The `modemsim` program as people use it: the port's path (here a link to it) on the first
// line, a scenario file, live lines on standard input, the command log, a signal to stop.
#include "tests/support/TempFolder.h"
#include "tools/modemsim/tests/PtyClient.h"

#include <QProcess>
#include <gtest/gtest.h>

TEST(ModemsimProgram, RefusesABadScenarioPlaysAGoodOneTakesLiveLinesLogsAndStopsOnSigterm)
{
    TempFolder dir;
    ASSERT_TRUE(dir.write("bad.txt", "# weak\n\nrssi 5\nat 3s teleport\n") &&
                dir.write("s.txt", "rssi 5\nat 0s echo off\n"));
    // A bad scenario is refused by its line number, which counts comments and blank lines.
    QProcess program;
    program.start(MODEMSIM_PROGRAM, {"--scenario", dir.path("bad.txt")});
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("line 4: unknown action \"teleport\""));
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());

    const QString link = dir.path("ttyUSB1");
    program.start(MODEMSIM_PROGRAM, {"--scenario", dir.path("s.txt"), "--log",
                                     dir.path("commands.log"), "--link", link});
    while (!program.canReadLine() && program.waitForReadyRead(5000)) {
    }
    EXPECT_EQ(program.readLine().trimmed(), link.toLocal8Bit());

    // The scenario's starting state is in place once the path is printed.
    PtyClient client(link);
    ASSERT_TRUE(client.isOpen());
    client.write("AT+CSQ\r");
    EXPECT_EQ(client.readUntil("OK\r\n"), "\r\n+CSQ: 5,99\r\n\r\nOK\r\n");
    // A line on standard input takes effect a moment after it is written.
    program.write("rssi 9\n");
    ASSERT_TRUE(program.waitForBytesWritten(5000));
    QByteArray reply;
    for (int attempt = 0; attempt < 100 && !reply.contains("+CSQ: 9,99"); ++attempt) {
        client.write("AT+CSQ\r");
        reply = client.readUntil("OK\r\n");
    }
    EXPECT_TRUE(reply.contains("+CSQ: 9,99")) << reply.constData();

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(link));
    const QList<QByteArray> fields = dir.read("commands.log").split('\n')[0].split('\t');
    ASSERT_EQ(fields.size(), 4);
    EXPECT_LE(fields[0].toDouble(), fields[1].toDouble()); // arrival, then reply written
    EXPECT_EQ(fields.mid(2), (QList<QByteArray>{"AT+CSQ", "\\r\\n+CSQ: 5,99\\r\\n\\r\\nOK\\r\\n"}));
}

// The 4G options (a bad period is refused in tests/command_line): an NSA stick that refuses
// AT^HCSQ? still sends its ^HCSQ lines by itself, one for each cell.
TEST(ModemsimProgram, TakesTheHcsqOptions)
{
    QProcess program;
    program.start(MODEMSIM_PROGRAM,
                  {"--network", "nsa", "--refuse-hcsq", "--hcsq-reports", "20ms"});
    while (!program.canReadLine() && program.waitForReadyRead(5000)) {
    }
    PtyClient client(QString::fromLocal8Bit(program.readLine().trimmed()));
    ASSERT_TRUE(client.isOpen());
    EXPECT_TRUE(client.readUntil("\"NR\",77,236,31\r\n")
                    .endsWith("\r\n^HCSQ:\"LTE\",48,45,181,18\r\n\r\n^HCSQ:\"NR\",77,236,31\r\n"));
    client.write("AT^HCSQ?\r");
    EXPECT_TRUE(client.readUntil("ERROR\r\n").endsWith("\r\nERROR\r\n"));
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(5000));
}

// --hilink names its address in place of a path (and answers this machine only: see
// tests/command_line).
TEST(ModemsimProgram, TakesTheHilinkAddress)
{
    QProcess program;
    program.start(MODEMSIM_PROGRAM, {"--hilink", "0"});
    while (!program.canReadLine() && program.waitForReadyRead(5000)) {
    }
    EXPECT_TRUE(program.readLine().startsWith("http://127.0.0.1:"));
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(5000));
}
