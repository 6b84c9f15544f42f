#include "kestrel/Form1.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/voice/SpokenNumbers.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tests/support/TestApp.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// The real folder of the built kestrel, whose "sound" folder the build fills.
const QString BuiltFolder = QStringLiteral(KESTREL_EXECUTABLE_FOLDER);

class VoiceWiringTest : public testing::Test, WithApplication
{
protected:
    ~VoiceWiringTest() override { LevelDbm() = std::nullopt; }

    // One tick of the window's own Timer3, as its timeout delivers it.
    QStringList tick()
    {
        sound.calls.clear();
        QMetaObject::invokeMethod(form.Timer3, "timeout");
        return sound.calls;
    }

    void show(bool check2, bool check1, int barValue, at::DbmLevel level)
    {
        form.Check2->setChecked(check2);
        form.Check1->setChecked(check1);
        form.ProgressBar1->setValue(barValue);
        LevelDbm() = level;
    }

    FakeCommControl serial;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    Form1 form{{serial, inventory, sound, dialog, BuiltFolder}};
};

TEST_F(VoiceWiringTest, ATickPlaysTheRecordingOfWhatTheWindowShows)
{
    const struct {
        const char* shows;
        bool check2, check1;
        int barValue;
        at::DbmLevel level;
        QString number; // empty: nothing is sent
    } rows[] = {
        {"LEVEL AS VOICE unticked sends nothing", false, false, 14, -85, QString()},
        {"the strongest level", true, false, 31, -51, "51"},
        {"the weakest level", true, false, 0, -113, "113"},
        {"a cleared level names .MP3", true, false, 0, std::nullopt, ""},
        {"the percentage with LEVEL PERCENTAGE ticked", true, true, 23, -67, "76"},
        {"an empty bar", true, true, 0, std::nullopt, "0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        show(row.check2, row.check1, row.barValue, row.level);
        const QStringList expected =
            row.check2 ? QStringList{"FileName=" + BuiltFolder + "/sound/" + row.number + ".MP3",
                                     "Close", "Open", "Play"}
                       : QStringList{};
        EXPECT_EQ(tick(), expected);
    }
}

// Every bar value and every level the window can hold asks for a recording that the build made.
TEST_F(VoiceWiringTest, EveryRecordingTheWindowAsksForExists)
{
    for (int index = LowestSignalIndex; index <= HighestSignalIndex; ++index) {
        const int level = -113 + 2 * index;
        show(true, false, index, level);
        const QString file = tick().value(0).mid(QStringLiteral("FileName=").size());
        EXPECT_TRUE(QFileInfo::exists(file)) << level << " dBm: " << file.toStdString();
    }
    for (int value = LowestBarValue; value <= HighestBarValue; ++value) {
        show(true, true, value, std::nullopt);
        const QString file = tick().value(0).mid(QStringLiteral("FileName=").size());
        EXPECT_TRUE(QFileInfo::exists(file)) << "bar at " << value << ": " << file.toStdString();
    }
}

} // namespace
