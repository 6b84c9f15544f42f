#include "kestrel/aiming/ReadingRecorder.h"

#include "tests/support/TempFolder.h"

#include <QFile>
#include <QTimeZone>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{

const QDateTime noon(QDate(2026, 12, 7), QTime(12, 3, 27, 250), QTimeZone(3600));
// clang-format off
const RecordedReading reading3G{
    .time = noon, .operatorName = "Kestrel Mobile", .technology = "3G", .mcc = "001", .mnc = "01",
    .lac = "6699", .cellId = "12834021", .levelDbm = -73, .percent = 63};

const RecordedReading reading4G{
    .time = noon.toUTC(), .operatorName = "Net, \"Best\"", .technology = "4G", .mcc = "310",
    .mnc = "260", .lac = "6699", .cellId = "27447297", .levelDbm = -61, .percent = 84,
    .quality = {.rsrpDbm = -96, .sinrDb = 16.0, .rsrqDb = -11.0, .nrRsrpDbm = -64, .nrSinrDb = 27.0,
                .nrRsrqDb = -4.5},
    .eNodeB = 107216, .sector = 1, .band = 1, .earfcn = 425, .note = "N 30°"};
// clang-format on

TEST(RecordLine, OneCsvLinePerReading)
{
    const struct {
        const char* name;
        RecordedReading reading;
        QString line;
    } rows[] = {
        {"a 3G reading", reading3G,
         "2026-12-07T12:03:27.250+01:00,Kestrel "
         "Mobile,3G,001,01,6699,12834021,-73,63,,,,,,,,,,,,,"},
        {"a stale level and no cell",
         {.time = noon,
          .operatorName = "Kestrel Mobile",
          .technology = "3G",
          .mcc = "001",
          .mnc = "01"},
         "2026-12-07T12:03:27.250+01:00,Kestrel Mobile,3G,001,01,,,,,,,,,,,,,,,,,"},
        {"a 5G NSA reading with a mark, and commas and quotes in a name", reading4G,
         "2026-12-07T11:03:27.250Z,\"Net, \"\"Best\"\"\",4G,310,260,6699,27447297,-61,84,"
         "-96,-11.0,16.0,,,-64,-4.5,27.0,107216,1,1,425,N 30°"},
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
    // A record of an earlier version, whose columns end at "percent", is left as it was.
    const QByteArray olderBytes = "time,operator,technology,mcc,mnc,lac,cell_id,dbm,percent\r\n";
    ASSERT_TRUE(folder.write("older.csv", olderBytes));
    EXPECT_FALSE(recorder.start(folder.path("older.csv"), &why));
    EXPECT_TRUE(why.contains("other columns")) << why.toStdString();
    EXPECT_EQ(folder.read("older.csv"), olderBytes);

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
