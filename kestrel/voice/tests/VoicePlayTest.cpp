#include "kestrel/voice/VoicePlay.h"

#include "kestrel/voice/SpokenNumbers.h"
#include "platform/sound/FakeSoundPlayer.h"

#include <gtest/gtest.h>

namespace
{

const QString Folder = QStringLiteral("/opt/kestrel");

// Percentage unticked and unset, as a caller that names only the level leaves them.
VoiceInputs dbm(const QString& levelDbm)
{
    return VoiceInputs{.check2Ticked = true, .levelDbm = levelDbm, .executableFolder = Folder};
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
        {"a half rounds up to an even neighbour", percent(3.5), "4"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        FakeSoundPlayer player;
        voiceplay(player, row.inputs);
        EXPECT_EQ(player.calls, tickCalls(row.number));
    }
    // LEVEL AS VOICE left unticked, a tick sends nothing (as the window's voice test also shows).
    FakeSoundPlayer player;
    voiceplay(player,
              VoiceInputs{.check1Ticked = true, .levelDbm = "-85", .executableFolder = Folder});
    EXPECT_TRUE(player.calls.isEmpty());
}

// One recording each for the odd levels -113 to -51 dBm and for the percentages the bar reports
// for its values 0 to 31, in order, none twice: 55 files.
TEST(SpokenNumbers, AreEveryLevelAndEveryBarPercentageOnceInOrder)
{
    const QString expected = "0 3 7 10 14 17 21 24 28 31 34 38 41 45 48 51 52 53 55 57 59 61 62 "
                             "63 65 66 67 69 71 72 73 75 76 77 79 81 83 85 86 87 89 90 91 93 95 "
                             "97 99 100 101 103 105 107 109 111 113";
    EXPECT_EQ(spokenNumbers().join(' '), expected);
}

} // namespace
