#include "kestrel/voice/VoicePlay.h"

#include "platform/sound/FakeSoundPlayer.h"

#include <gtest/gtest.h>

namespace
{

const QString Folder = QStringLiteral("/opt/kestrel");

VoiceInputs dbm(const QString& levelDbm)
{
    return VoiceInputs{true, false, 0, levelDbm, Folder};
}

VoiceInputs percent(double percentage, const QString& levelDbm = QStringLiteral("-85"))
{
    return VoiceInputs{true, true, percentage, levelDbm, Folder};
}

QStringList tickCalls(const QString& fileName)
{
    return {QStringLiteral("FileName=") + fileName, QStringLiteral("Close"), QStringLiteral("Open"),
            QStringLiteral("Play")};
}

struct TickRow {
    const char* shows;
    VoiceInputs inputs;
    QString fileName;
};

TEST(Voiceplay, OneTickNamesTheRecordingThenClosesOpensAndPlays)
{
    const TickRow rows[] = {
        {"the strongest level", dbm(QStringLiteral("-51")), "/opt/kestrel/sound/51.MP3"},
        {"the weakest level", dbm(QStringLiteral("-113")), "/opt/kestrel/sound/113.MP3"},
        {"a cleared level names .MP3", dbm(QString()), "/opt/kestrel/sound/.MP3"},
        {"at most three digits follow the sign", dbm(QStringLiteral("-1234")),
         "/opt/kestrel/sound/123.MP3"},
        {"Check1 speaks the percentage, not the dBm", percent(72.41), "/opt/kestrel/sound/72.MP3"},
        {"a cleared level still has a percentage", percent(0, QString()),
         "/opt/kestrel/sound/0.MP3"},
        {"a full bar", percent(100), "/opt/kestrel/sound/100.MP3"},
        {"a half rounds down to even", percent(2.5), "/opt/kestrel/sound/2.MP3"},
        {"a half rounds up to even", percent(3.5), "/opt/kestrel/sound/4.MP3"},
        {"just under a half rounds down", percent(44.4999), "/opt/kestrel/sound/44.MP3"},
    };
    for (const TickRow& row : rows) {
        SCOPED_TRACE(row.shows);
        FakeSoundPlayer player;
        voiceplay(player, row.inputs);
        EXPECT_EQ(player.calls, tickCalls(row.fileName));
        EXPECT_EQ(player.FileName(), row.fileName);
    }
}

TEST(Voiceplay, UntickedCheck2SendsNothing)
{
    const VoiceInputs rows[] = {dbm(QStringLiteral("-85")), percent(50), dbm(QString())};
    for (VoiceInputs inputs : rows) {
        inputs.check2Ticked = false;
        FakeSoundPlayer player;
        voiceplay(player, inputs);
        voiceplay(player, inputs);
        EXPECT_TRUE(player.calls.isEmpty()) << player.calls.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(Voiceplay, TickingCheck1SwitchesTheNextTickToThePercentage)
{
    FakeSoundPlayer player;
    VoiceInputs inputs = dbm(QStringLiteral("-73"));
    inputs.levelPercentage = 65.517;
    voiceplay(player, inputs);
    inputs.check1Ticked = true;
    voiceplay(player, inputs);
    EXPECT_EQ(player.calls, tickCalls(QStringLiteral("/opt/kestrel/sound/73.MP3")) +
                                tickCalls(QStringLiteral("/opt/kestrel/sound/66.MP3")));
}

} // namespace
