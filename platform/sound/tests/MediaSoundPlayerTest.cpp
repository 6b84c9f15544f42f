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
class OneApplication : public testing::Environment
{
public:
    void SetUp() override { app_.emplace(); }
    void TearDown() override { app_.reset(); }

private:
    std::optional<GuiApp> app_;
};
const auto* const environment = testing::AddGlobalTestEnvironment(new OneApplication);

constexpr int LoadTimeoutMs = 5000;
const QString spokenMp3 = QStringLiteral(SPOKEN_MP3);

// What the monitor does each time it speaks a level.
void tick(MediaSoundPlayer& player, const QString& fileName)
{
    player.setFileName(fileName);
    player.setCommand(QStringLiteral("Close"));
    player.setCommand(QStringLiteral("Open"));
    player.setCommand(QStringLiteral("Play"));
}

bool waitForStatus(const MediaSoundPlayer& player, QMediaPlayer::MediaStatus status)
{
    return QTest::qWaitFor([&] { return player.mediaStatus() == status; }, LoadTimeoutMs);
}

bool startsPlaying(const MediaSoundPlayer& player)
{
    return QTest::qWaitFor([&] { return player.playbackState() == QMediaPlayer::PlayingState; },
                           LoadTimeoutMs);
}

// An output check that answers as told and counts how often it was asked.
struct OutputStub {
    bool present;
    int asked = 0;
    MediaSoundPlayer::OutputCheck check()
    {
        return [this] {
            ++asked;
            return present;
        };
    }
};

// Without a device the backend plays into a dummy sink here, so an output can be pretended and
// the recording is heard to its end without a sound card. "Play" returns at once; each tick cuts
// off the sound before it, and "Close" stops the sound and forgets the file.
TEST(MediaSoundPlayer, EachTickPlaysAfreshAndCloseForgetsTheSound)
{
    OutputStub output{true};
    MediaSoundPlayer player(output.check());
    for (int i = 0; i < 2; ++i) {
        tick(player, spokenMp3);
        EXPECT_TRUE(startsPlaying(player)) << i;
    }
    player.setCommand(QStringLiteral("Close"));
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    EXPECT_TRUE(player.source().isEmpty());
    EXPECT_TRUE(waitForStatus(player, QMediaPlayer::NoMedia));
    tick(player, spokenMp3);
    EXPECT_TRUE(waitForStatus(player, QMediaPlayer::EndOfMedia));
    EXPECT_EQ(output.asked, 3);
}

TEST(MediaSoundPlayer, WithoutAnOutputNothingPlays)
{
    OutputStub output{false};
    MediaSoundPlayer player(output.check());
    tick(player, spokenMp3);
    // Loading still works, so the file is ready once an output appears.
    EXPECT_TRUE(waitForStatus(player, QMediaPlayer::LoadedMedia));
    EXPECT_EQ(output.asked, 1);
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
}

// A name that is no readable file leaves the player closed, even right after a good file.
TEST(MediaSoundPlayer, ANameOfNoFileDoesNotReplayTheLastOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* shows;
        QString fileName;
    } rows[] = {
        {"the empty number of a cleared level", dir.filePath(QStringLiteral("sound/.MP3"))},
        {"a number without its recording", dir.filePath(QStringLiteral("sound/85.MP3"))},
        {"a folder in place of a file", dir.path()},
        {"no file name at all", QString()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        OutputStub output{true};
        MediaSoundPlayer player(output.check());
        player.setFileName(spokenMp3);
        player.setCommand(QStringLiteral("Open"));
        player.setFileName(row.fileName);
        player.setCommand(QStringLiteral("Open"));
        player.setCommand(QStringLiteral("Play"));
        EXPECT_TRUE(player.source().isEmpty());
        EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    }
}

TEST(MediaSoundPlayer, AnUndecodableFileFailsQuietly)
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("85.MP3"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, '\x5a')) == 4096);
    file.close();

    OutputStub output{true};
    MediaSoundPlayer player(output.check());
    tick(player, broken);
    EXPECT_TRUE(waitForStatus(player, QMediaPlayer::InvalidMedia));
    // Never started: a backend told to play a rejected file would stall the next "Close".
    EXPECT_EQ(output.asked, 0);
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    // The next tick with a good file plays again.
    tick(player, spokenMp3);
    EXPECT_TRUE(startsPlaying(player));
}

// The machine's own answer, whatever it is: a device plays, none leaves the player quiet.
TEST(MediaSoundPlayer, TheSystemOutputCheckDecides)
{
    MediaSoundPlayer player;
    tick(player, spokenMp3);
    if (MediaSoundPlayer::systemHasAudioOutput()) {
        EXPECT_TRUE(startsPlaying(player));
    } else {
        EXPECT_TRUE(waitForStatus(player, QMediaPlayer::LoadedMedia));
        EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    }
}

} // namespace
