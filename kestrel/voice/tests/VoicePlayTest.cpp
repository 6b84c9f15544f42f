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

// What one tick asks of the player, for the recording of `number`.
QStringList tickCalls(const QString& number)
{
    const QString file = Folder + "/sound/" + number + ".MP3";
    return {"FileName=" + file, QStringLiteral("Close"), QStringLiteral("Open"),
            QStringLiteral("Play")};
}

TEST(Voiceplay, OneTickNamesTheRecordingThenClosesOpensAndPlays)
{
    const struct {
        const char* shows;
        VoiceInputs inputs;
        const char* number;
    } rows[] = {
        {"the strongest level", dbm("-51"), "51"},
        {"the weakest level", dbm("-113"), "113"},
        {"a cleared level names .MP3", dbm(QString()), ""},
        {"at most three digits follow the sign", dbm("-1234"), "123"},
        {"Check1 speaks the percentage, not the dBm", percent(72.41), "72"},
        {"a cleared level still has a percentage", percent(0, QString()), "0"},
        {"a full bar", percent(100), "100"},
        {"a half rounds to even", percent(2.5), "2"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        FakeSoundPlayer player;
        voiceplay(player, row.inputs);
        EXPECT_EQ(player.calls, tickCalls(row.number));
        EXPECT_EQ("FileName=" + player.FileName(), tickCalls(row.number)[0]);
    }
    // Unticked, a tick sends nothing (as the window's voice test also shows).
    FakeSoundPlayer player;
    voiceplay(player, VoiceInputs{false, true, 50, QStringLiteral("-85"), Folder});
    EXPECT_TRUE(player.calls.isEmpty());
}

} // namespace
