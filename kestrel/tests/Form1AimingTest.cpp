// The aiming aids through a real main window (offscreen) over a scripted port: the context
// menu's entries, the tone following the level, the history window and the record of readings.
#include "kestrel/HistoryWindow.h"
#include "kestrel/aiming/TonePitch.h"
#include "kestrel/tests/WindowFixture.h"
#include "tests/support/TempFolder.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace
{

class Form1AimingTest : public WindowFixture
{
protected:
    // The choice of measure is remembered in the settings, the test's own, begun empty.
    Form1AimingTest() { port.setPortOpen(true); }

    double pitch() { return form().aimingAids().tone().generator().targetPitchHz(); }
};

// The whole cycle of a 4G stick: "T-Mobile", index 20, RSRP -96 dBm, SINR `sinr`, TAC 6699,
// cell 27447297.
QStringList lteCycle(int sinrStep = 181)
{
    return {"\r\n+COPS: 0,0,\"T-Mobile\",7\r\n\r\nOK\r\n",
            "\r\nOK\r\n",
            "\r\n+CSQ: 20,99\r\n\r\nOK\r\n",
            QStringLiteral("\r\n^HCSQ:\"LTE\",53,45,%1,18\r\n\r\nOK\r\n").arg(sinrStep),
            "\r\nOK\r\n",
            "\r\n+CEREG: 2,1,\"1A2B\",\"01A2D001\",7\r\n\r\nOK\r\n",
            "\r\nERROR\r\n"};
}

// Until the user chooses, a 4G stick that gives RSRP is aimed by it and any other by the level;
// a choice wins, moves the tone (silent without a value) and the history's best, and is
// remembered for the next run.
TEST_F(Form1AimingTest, AimByFollowsTheStickUntilTheUserChooses)
{
    using enum AimMeasure;
    form().MnuTone->trigger();
    cycle();
    EXPECT_TRUE(form().MnuAimBy[0]->isChecked());
    EXPECT_EQ(pitch(), tonePitchHz(Level, -73));
    cycle(lteCycle());
    EXPECT_TRUE(form().MnuAimBy[1]->isChecked());
    EXPECT_EQ(pitch(), tonePitchHz(Rsrp, -96));

    form().MnuAimBy[2]->trigger();
    EXPECT_EQ(pitch(), tonePitchHz(Sinr, 16.0));
    cycle(lteCycle(191)); // SINR 18.0 dB
    EXPECT_EQ(pitch(), tonePitchHz(Sinr, 18.0));
    EXPECT_EQ(form().aimingAids().history().best()->value, 18.0);
    cycle();
    EXPECT_TRUE(form().MnuAimBy[2]->isChecked()) << "a 3G stick keeps the user's choice";
    EXPECT_EQ(form().aimingAids().tone().generator().targetGain(), 0) << "silent: no SINR on 3G";

    EXPECT_EQ(rememberedAimMeasure(), Sinr);
    reset();
    cycle(lteCycle());
    EXPECT_EQ(form().aimingAids().measure(), Sinr) << "remembered from the last run";
}

// The M key asks for a note; it goes on the next point of the history (and line of the record,
// which the end-to-end sweep shows).
TEST_F(Form1AimingTest, TheMKeyMarksTheDirectionInTheHistory)
{
    form().show();
    QApplication::setActiveWindow(&form());
    QTest::keyClick(&form(), Qt::Key_M);
    auto* markDialog = form().findChild<QInputDialog*>(QStringLiteral("MarkDialog"));
    ASSERT_NE(markDialog, nullptr);
    markDialog->setTextValue(QStringLiteral("N 30°"));
    markDialog->accept();
    cycle(lteCycle());
    cycle(lteCycle());
    const auto& points = form().aimingAids().history().points();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_TRUE(points[0].marked && !points[1].marked);
    EXPECT_EQ(points[1].note, "N 30°") << "the mark stays in force";
}

// Without a sound output the tone and the voice untick themselves and say why, in the tool tip
// and the title for a while; ticked again once an output exists, they stay on.
TEST_F(Form1AimingTest, SoundThatCannotBeHeardIsUntickedAndTold)
{
    const struct {
        QObject* control; // its "checked" and "toolTip", ticked by its `tick` slot
        const char* tick;
        bool* output;
        QString title;
    } rows[] = {
        {form().MnuTone, "trigger", &toneOutput.available, "aiming tone off: no sound output"},
        {form().Check2, "click", &sound.heard, "level as voice off: no sound output"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title.toStdString());
        *row.output = false;
        QMetaObject::invokeMethod(row.control, row.tick);
        EXPECT_FALSE(row.control->property("checked").toBool());
        EXPECT_TRUE(row.control->property("toolTip").toString().contains("no sound output"));
        EXPECT_TRUE(form().windowTitle().contains(row.title)) << form().windowTitle().toStdString();
        *row.output = true;
        QMetaObject::invokeMethod(row.control, row.tick);
        EXPECT_TRUE(row.control->property("checked").toBool());
        EXPECT_FALSE(row.control->property("toolTip").toString().contains("no sound output"));
    }
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
    EXPECT_TRUE(lines[1].endsWith(",Mobile Net,3G,,,6699,12834021,-73,66,,,,,,,,,,,,,\r"))
        << lines[1].toStdString();

    // A file that cannot be recorded to: the user is asked for another, until one can be.
    const QString other = folder.path("other.csv");
    dialog.nextChoices = {QStringLiteral("/dev/full"), folder.path("no/such.csv"), other};
    form().MnuRecord->trigger();
    EXPECT_TRUE(form().MnuRecord->isChecked());
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[0].text.startsWith("Cannot record readings to /dev/full"));
    EXPECT_EQ(fileBytes(other), recordHeader().toUtf8() + "\r\n");
}

} // namespace
