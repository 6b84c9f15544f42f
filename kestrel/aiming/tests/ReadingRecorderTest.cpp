#include "kestrel/aiming/ReadingRecorder.h"

#include "tests/support/TempFolder.h"

#include <QFile>
#include <QTimeZone>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{

const QDateTime noon(QDate(2026, 12, 7), QTime(12, 3, 27), QTimeZone(3600));
const RecordedReading reading3G{noon,   "Kestrel Mobile", "3G", "001", "01",
                                "6699", "12834021",       -73,  63};

TEST(RecordLine, OneCsvLinePerReading)
{
    const struct {
        const char* name;
        RecordedReading reading;
        QString line;
    } rows[] = {
        {"a 3G reading", reading3G,
         "2026-12-07T12:03:27+01:00,Kestrel Mobile,3G,001,01,6699,12834021,-73,63"},
        {"a stale level and no cell",
         {noon, "Kestrel Mobile", "3G", "001", "01", "", "", std::nullopt, std::nullopt},
         "2026-12-07T12:03:27+01:00,Kestrel Mobile,3G,001,01,,,,"},
        {"commas and quotes in a name",
         {noon.toUTC(), "Net, \"Best\"", "4G", "310", "260", "6699", "27447297", -61, 84},
         "2026-12-07T11:03:27Z,\"Net, \"\"Best\"\"\",4G,310,260,6699,27447297,-61,84"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(recordLine(row.reading), row.line);
    }
}

TEST(ReadingRecorder, AddsAHeaderToANewFileOnlyAndStopsAtTheFirstFailure)
{
    TempFolder folder;
    const QString path = folder.path("survey.csv");
    const RecordedReading& reading = reading3G;
    const QByteArray line = recordLine(reading).toUtf8() + "\r\n";
    QString why;
    ReadingRecorder recorder;
    ASSERT_TRUE(recorder.start(path, &why)) << why.toStdString();
    EXPECT_EQ(recorder.record(reading), std::nullopt);
    recorder.stop();
    ASSERT_TRUE(recorder.start(path, &why));
    EXPECT_EQ(recorder.record(reading), std::nullopt);
    EXPECT_EQ(fileBytes(path), recordHeader().toUtf8() + "\r\n" + line + line);

    EXPECT_FALSE(recorder.start(folder.path("no/such/folder.csv"), &why));
    EXPECT_FALSE(why.isEmpty());

    // A full disk (RLIMIT_FSIZE, as root ignores permissions): the first failed line stops the
    // recording and says why, once.
    ASSERT_TRUE(recorder.start(path, &why));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit full = saved;
    full.rlim_cur = static_cast<rlim_t>(QFile(path).size());
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    const std::optional<QString> failure = recorder.record(reading);
    const bool stillRecording = recorder.isRecording();
    const std::optional<QString> again = recorder.record(reading);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(failure, std::nullopt);
    EXPECT_FALSE(stillRecording);
    EXPECT_EQ(again, std::nullopt);
}

} // namespace
