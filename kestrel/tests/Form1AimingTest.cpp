// The aiming aids through a real main window (offscreen) over a scripted port: the context
// menu's entries, the tone following the level, the history window and the record of readings.
#include "kestrel/HistoryWindow.h"
#include "kestrel/aiming/TonePitch.h"
#include "kestrel/tests/WindowFixture.h"
#include "tests/support/TempFolder.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace
{

class Form1AimingTest : public WindowFixture
{
protected:
    Form1AimingTest() { port.setPortOpen(true); }
};

TEST_F(Form1AimingTest, TheMenuSwitchesTheToneAndTheToneFollowsTheLevel)
{
    cycle();
    EXPECT_EQ(toneOutput.source, nullptr);
    form().MnuTone->trigger();
    ASSERT_NE(toneOutput.source, nullptr);
    EXPECT_EQ(form().aimingAids().tone().generator().targetPitchHz(), tonePitchHz(-73));
    EXPECT_GT(form().aimingAids().tone().generator().targetGain(), 0);

    cycle({});
    cycle({});
    EXPECT_EQ(form().aimingAids().tone().generator().targetGain(), 0)
        << "silent while the level is stale";
    form().MnuTone->trigger();
    EXPECT_FALSE(form().aimingAids().tone().isOn());
}

TEST_F(Form1AimingTest, TheHistoryWindowShowsTheBestLevel)
{
    form().MnuHistory->trigger();
    HistoryWindow* history = form().historyWindow();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->LblBest->text(), "No level yet");
    cycle();
    EXPECT_TRUE(history->LblBest->text().startsWith("best -73 dBm at "))
        << history->LblBest->text().toStdString();
    history->CommandReset->click();
    EXPECT_EQ(history->LblBest->text(), "No level yet");
    history->close();
}

TEST_F(Form1AimingTest, RecordingWritesALinePerCycleUntilUntickedOrAWriteFails)
{
    TempFolder folder;
    const QString path = folder.path("survey.csv");
    dialog.nextChoices = {QString(), path};
    form().MnuRecord->trigger();
    EXPECT_FALSE(form().MnuRecord->isChecked()) << "a cancelled dialog records nothing";
    EXPECT_TRUE(dialog.suggested.startsWith("kestrel-"));
    EXPECT_TRUE(dialog.suggested.endsWith(".csv"));

    form().MnuRecord->trigger();
    ASSERT_TRUE(form().MnuRecord->isChecked());
    cycle();
    cycle({});
    form().MnuRecord->trigger();
    cycle();
    const QList<QByteArray> lines = fileBytes(path).split('\n');
    ASSERT_EQ(lines.size(), 4) << "header, two cycles, and the end of the last line";
    EXPECT_TRUE(lines[1].endsWith(",Mobile Net,3G,,,6699,12834021,-73,66\r"))
        << lines[1].toStdString();

    dialog.nextChoices = {QStringLiteral("/dev/full")};
    form().MnuRecord->trigger();
    EXPECT_FALSE(form().MnuRecord->isChecked());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith("Cannot record readings to /dev/full"));
}

} // namespace
