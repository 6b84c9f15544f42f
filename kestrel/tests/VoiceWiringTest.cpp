// The voice timer of a real main window asking the player for the recordings the build made.
#include "kestrel/tests/WindowFixture.h"
#include "kestrel/voice/SpokenNumbers.h"
#include "platform/levelbar/ProgressBar.h"

#include <QFileInfo>

namespace
{

class VoiceWiringTest : public WindowFixture
{
protected:
    // The real folder of the built kestrel, whose "sound" folder the build fills.
    VoiceWiringTest() { executableFolder = QStringLiteral(KESTREL_EXECUTABLE_FOLDER); }

    // The file one tick plays, with the window showing the given level.
    QString played(bool percent, int barValue, at::DbmLevel level)
    {
        form().Check1->setChecked(percent);
        form().ProgressBar1->setValue(barValue);
        LevelDbm() = level;
        return voiceTick().value(0).mid(QStringLiteral("FileName=").size());
    }
};

TEST_F(VoiceWiringTest, ATickPlaysTheRecordingOfWhatTheWindowShows)
{
    EXPECT_EQ(played(false, 14, -85), executableFolder + "/sound/85.MP3");
    EXPECT_EQ(played(true, 23, -67), executableFolder + "/sound/76.MP3");
    EXPECT_EQ(sound.calls.mid(1), (QStringList{"Close", "Open", "Play"}));
    form().Check2->setChecked(false);
    sound.calls.clear();
    QMetaObject::invokeMethod(form().Timer3, "timeout");
    EXPECT_TRUE(sound.calls.isEmpty()) << "LEVEL AS VOICE unticked sends nothing";
}

// Every bar value and every level the window can hold asks for a recording that the build made.
TEST_F(VoiceWiringTest, EveryRecordingTheWindowAsksForExists)
{
    for (int index = LowestSignalIndex; index <= HighestSignalIndex; ++index) {
        const QString file = played(false, index, -113 + 2 * index);
        EXPECT_TRUE(QFileInfo::exists(file)) << index << ": " << file.toStdString();
    }
    for (int value = LowestBarValue; value <= HighestBarValue; ++value) {
        const QString file = played(true, value, std::nullopt);
        EXPECT_TRUE(QFileInfo::exists(file)) << "bar at " << value << ": " << file.toStdString();
    }
}

} // namespace
