// The voice timer of a real main window asking the player for the recordings the build made.
#include "kestrel/tests/WindowFixture.h"
#include "kestrel/voice/SpokenNumbers.h"

#include <QDir>
#include <QFile>
#include <QSet>

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
        MonitorReading reading;
        reading.barValue = barValue;
        reading.levelDbm = level;
        form().showReading(reading);
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

// Every bar value and every level the window can hold asks for a recording that the build made,
// an MP3 (an ID3 tag, or an MPEG audio frame's sync bits), and the folder holds nothing else.
TEST_F(VoiceWiringTest, EveryRecordingTheWindowAsksForIsAnMp3OfTheBuild)
{
    QSet<QString> asked;
    for (int index = LowestSignalIndex; index <= HighestSignalIndex; ++index) {
        asked << played(false, index, -113 + 2 * index);
    }
    for (int value = LowestBarValue; value <= HighestBarValue; ++value) {
        asked << played(true, value, std::nullopt);
    }
    for (const QString& name : asked) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray head = file.read(2);
        EXPECT_TRUE(head == "ID" ||
                    (head.size() == 2 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0))
            << name.toStdString();
    }
    const QDir folder(executableFolder + QStringLiteral("/sound"));
    EXPECT_EQ(folder.entryList({QStringLiteral("*.MP3")}, QDir::Files).size(), asked.size());
}

} // namespace
