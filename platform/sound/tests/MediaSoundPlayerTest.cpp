#include "platform/sound/MediaSoundPlayer.h"

#include "tests/support/TestApp.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

// Under LeakSanitizer: PulseAudio's client library, probed for an output, keeps a context it
// never frees. Only that library's leaks are excused; the player's own are still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libpulse.so\n";
}

namespace
{

// The player needs a running application; one serves every test of this program and goes when
// the tests end, inside main().
struct OneApplication : testing::Environment {
    void SetUp() override { app.emplace(); }
    void TearDown() override { app.reset(); }
    std::optional<GuiApp> app;
};
const auto* const environment = testing::AddGlobalTestEnvironment(new OneApplication);

const QString spokenMp3 = QStringLiteral(SPOKEN_MP3);

// What the monitor does each time it speaks a level.
void tick(MediaSoundPlayer& player, const QString& fileName)
{
    player.setFileName(fileName);
    for (const char* command : {"Close", "Open", "Play"})
        player.setCommand(QString::fromLatin1(command));
}

bool reaches(const MediaSoundPlayer& player, QMediaPlayer::MediaStatus status)
{
    return QTest::qWaitFor([&] { return player.mediaStatus() == status; }, 5000);
}

bool startsPlaying(const MediaSoundPlayer& p)
{
    return QTest::qWaitFor([&] { return p.playbackState() == QMediaPlayer::PlayingState; }, 5000);
}

// The loaded file waits, quiet, for an output.
void staysQuiet(const MediaSoundPlayer& player)
{
    EXPECT_TRUE(reaches(player, QMediaPlayer::LoadedMedia));
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
}

// Without a device the backend plays into a dummy sink here, so an output can be pretended and
// the recording is heard to its end without a sound card. "Play" returns at once; each tick cuts
// off the sound before it, and "Close" stops the sound and forgets the file.
TEST(MediaSoundPlayer, EachTickPlaysAfreshAndCloseForgetsTheSound)
{
    int asked = 0;
    MediaSoundPlayer player([&asked] { return ++asked > 0; });
    for (int i = 0; i < 2; ++i) {
        tick(player, spokenMp3);
        EXPECT_TRUE(startsPlaying(player)) << i;
    }
    player.setCommand(QStringLiteral("Close"));
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    EXPECT_TRUE(player.source().isEmpty());
    tick(player, spokenMp3);
    EXPECT_TRUE(reaches(player, QMediaPlayer::EndOfMedia));
    EXPECT_EQ(asked, 3);
}

// Loading still works without an output, so the file is ready once one appears.
TEST(MediaSoundPlayer, WithoutAnOutputNothingPlays)
{
    int asked = 0;
    MediaSoundPlayer player([&asked] { return ++asked < 0; });
    tick(player, spokenMp3);
    staysQuiet(player);
    EXPECT_EQ(asked, 1);
}

// A name that is no readable file leaves the player closed, even right after a good file; an
// undecodable file fails quietly, and the next good one plays.
TEST(MediaSoundPlayer, FilesThatCannotPlayFailQuietly)
{
    QTemporaryDir dir;
    for (const QString& fileName : {dir.filePath("sound/.MP3"), dir.path(), QString()}) {
        SCOPED_TRACE(fileName.toStdString());
        MediaSoundPlayer player([] { return true; });
        for (const QString& name : {spokenMp3, fileName}) {
            player.setFileName(name);
            player.setCommand(QStringLiteral("Open"));
        }
        player.setCommand(QStringLiteral("Play"));
        EXPECT_TRUE(player.source().isEmpty());
        EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    }

    const QString broken = dir.filePath(QStringLiteral("85.MP3"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'Z')) == 4096);
    file.close();
    int asked = 0;
    MediaSoundPlayer player([&asked] { return ++asked > 0; });
    tick(player, broken);
    EXPECT_TRUE(reaches(player, QMediaPlayer::InvalidMedia));
    // Never started: a backend told to play a rejected file would stall the next "Close".
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    tick(player, spokenMp3);
    EXPECT_TRUE(startsPlaying(player));
}

// The machine's own answer, whatever it is: a device plays, none leaves the player quiet.
TEST(MediaSoundPlayer, TheSystemOutputCheckDecides)
{
    MediaSoundPlayer player;
    tick(player, spokenMp3);
    if (MediaSoundPlayer::systemHasAudioOutput())
        EXPECT_TRUE(startsPlaying(player));
    else
        staysQuiet(player);
}

} // namespace
