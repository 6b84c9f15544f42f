#include "platform/sound/MediaSoundPlayer.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// Under LeakSanitizer: PulseAudio's client library, probed for an output, keeps a context it
// never frees. Only that library's leaks are excused; the player's own are still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libpulse.so\n";
}

namespace
{

// The player needs a running Qt application; one serves every test of this program.
class QtApplication : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "MediaSoundPlayerTest";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};
const auto* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplication);

constexpr int LoadTimeoutMs = 5000;

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

const QString spokenMp3 = QStringLiteral(SPOKEN_MP3);

// Without a device the backend plays into a dummy sink here, so an output can be pretended
// and the recording is heard to its end without a sound card.
TEST(MediaSoundPlayer, PlayRunsOutsideTheEventLoopToTheEnd)
{
    OutputStub output{true};
    MediaSoundPlayer player(output.check());
    tick(player, spokenMp3);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return player.playbackState() == QMediaPlayer::PlayingState; }, LoadTimeoutMs));
    EXPECT_EQ(output.asked, 1);
    EXPECT_TRUE(waitForStatus(player, QMediaPlayer::EndOfMedia));
}

TEST(MediaSoundPlayer, CloseStopsAndForgetsTheSound)
{
    OutputStub output{true};
    MediaSoundPlayer player(output.check());
    tick(player, spokenMp3);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return player.playbackState() == QMediaPlayer::PlayingState; }, LoadTimeoutMs));
    player.setCommand(QStringLiteral("Close"));
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    EXPECT_TRUE(player.source().isEmpty());
    EXPECT_TRUE(waitForStatus(player, QMediaPlayer::NoMedia));
}

TEST(MediaSoundPlayer, EveryTickCutsOffThePreviousSoundAndStartsAgain)
{
    OutputStub output{true};
    MediaSoundPlayer player(output.check());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        tick(player, spokenMp3);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return player.playbackState() == QMediaPlayer::PlayingState; }, LoadTimeoutMs));
    }
    EXPECT_EQ(output.asked, 3);
}

TEST(MediaSoundPlayer, WithoutAnOutputNothingPlays)
{
    OutputStub output{false};
    MediaSoundPlayer player(output.check());
    tick(player, spokenMp3);
    EXPECT_EQ(player.source(), QUrl::fromLocalFile(spokenMp3));
    // Loading still works, so the file is ready once an output appears.
    EXPECT_TRUE(waitForStatus(player, QMediaPlayer::LoadedMedia));
    EXPECT_EQ(output.asked, 1);
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
}

TEST(MediaSoundPlayer, MissingFilesStayClosed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Row {
        const char* shows;
        QString fileName;
    };
    const Row rows[] = {
        {"the empty number of a cleared level", dir.filePath(QStringLiteral("sound/.MP3"))},
        {"a number without its recording", dir.filePath(QStringLiteral("sound/85.MP3"))},
        {"a folder in place of a file", dir.path()},
        {"no file name at all", QString()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shows);
        OutputStub output{true};
        MediaSoundPlayer player(output.check());
        tick(player, row.fileName);
        EXPECT_EQ(player.FileName(), row.fileName);
        EXPECT_TRUE(player.source().isEmpty());
        EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    }
}

TEST(MediaSoundPlayer, AMissingFileDoesNotReplayTheLastOne)
{
    OutputStub output{true};
    MediaSoundPlayer player(output.check());
    player.setFileName(spokenMp3);
    player.setCommand(QStringLiteral("Open"));
    player.setFileName(QStringLiteral("/nonexistent/sound/.MP3"));
    player.setCommand(QStringLiteral("Open"));
    player.setCommand(QStringLiteral("Play"));
    EXPECT_TRUE(player.source().isEmpty());
    EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
}

TEST(MediaSoundPlayer, AnUndecodableFileFailsQuietly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString broken = dir.filePath(QStringLiteral("85.MP3"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x5a'));
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
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return player.playbackState() == QMediaPlayer::PlayingState; }, LoadTimeoutMs));
}

// The machine's own answer, whatever it is: a device plays, none leaves the player quiet.
TEST(MediaSoundPlayer, TheSystemOutputCheckDecides)
{
    MediaSoundPlayer player;
    tick(player, spokenMp3);
    if (MediaSoundPlayer::systemHasAudioOutput()) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return player.playbackState() == QMediaPlayer::PlayingState; }, LoadTimeoutMs));
    } else {
        EXPECT_TRUE(waitForStatus(player, QMediaPlayer::LoadedMedia));
        EXPECT_EQ(player.playbackState(), QMediaPlayer::StoppedState);
    }
}

} // namespace
