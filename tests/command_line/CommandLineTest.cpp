#include "ProjectVersion.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace
{

// Each program with a command line, and what it answers with no display: the exit status and a
// piece of what it prints on standard output (status 0) or standard error.
TEST(CommandLine, EachProgramAnswersHelpAndVersionAndRefusesWrongWords)
{
    const QString version = QString::fromLatin1(kProjectVersion);
    const struct {
        const char* program;
        QStringList arguments;
        int status;
        QString printed;
    } rows[] = {
        {KESTREL_PROGRAM, {"--help"}, 0, "Usage: " KESTREL_PROGRAM " [options]"},
        {KESTREL_PROGRAM, {"-platform", "offscreen", "-v"}, 0, "kestrel " + version},
        {KESTREL_PROGRAM, {"--lisen", "foo"}, 2, "kestrel: Unknown option 'lisen'."},
        {KESTREL_PROGRAM, {"ttyUSB0"}, 2, "kestrel: unexpected argument 'ttyUSB0'"},
        {KESTREL_PROGRAM, {"--port"}, 2, "kestrel: Missing value after '--port'."},
        {PLOVER_PROGRAM, {"--help"}, 0, "[FILE]"},
        {PLOVER_PROGRAM, {"--version"}, 0, "plover " + version + "\n"},
        {PLOVER_PROGRAM, {"a.ini", "b.ini"}, 2, "plover: unexpected argument 'b.ini'"},
        {MODEMSIM_PROGRAM, {"--version"}, 0, "modemsim " + version + "\n"},
        {MODEMSIM_PROGRAM, {"--scenario"}, 2, "modemsim: Missing value after '--scenario'."},
        {MODEMSIM_PROGRAM, {"--hcsq-reports", "0s"}, 2, "--hcsq-reports expects a period"},
        {MODEMSIM_PROGRAM, {"--hilink", "10.0.0.1:8080"}, 2, "not a loopback address"},
        {KESTREL_DEMO_PROGRAM, {"--version"}, 0, "kestrel-demo " + version + "\n"},
    };
    // Without a display: none is needed to answer.
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noDisplay.remove(name);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program + (' ' + row.arguments.join(' ')).toStdString());
        QProcess process;
        process.setProcessEnvironment(noDisplay);
        process.start(QString::fromLocal8Bit(row.program), row.arguments);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  row.status);
        const QString out = process.readAllStandardOutput(), err = process.readAllStandardError();
        EXPECT_TRUE((row.status == 0 ? out : err).contains(row.printed))
            << "out: " << out.toStdString() << "\nerr: " << err.toStdString();
        EXPECT_TRUE(row.status == 0 || out.isEmpty()) << "a refusal starts nothing";
    }
}

} // namespace
