// Form1 polling a simulated stick through the real serial port control on a pseudo-terminal:
// what the labels show, what the stick receives, and how the monitor copes with what real
// sticks do (unsolicited reports, echo, split and error replies, garbage, floods, unplugging).
#include "kestrel/Form1.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "kestrel/monitor/PortLink.h"
#include "kestrel/tests/FieldCheck.h"
#include "kestrel/tests/ListPick.h"
#include "kestrel/tests/QtPrinters.h"
#include "platform/levelbar/ProgressBar.h"
#include "tests/support/TestApp.h"
#include "tests/support/WaitUntil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace
{

using namespace std::chrono_literals;
using modemsim::LogEntry;
using modemsim::ModemSimulator;

// The default stick (operator TestNet / 00101 in 3G, index 20, LAC 1A2B, cell 00C3D4E5) as the
// labels show it once a name cycle and a code cycle have run.
const QString kSteady = QStringLiteral("TestNet (3G) | 001 | 01 |   -73db | 6699 | 12834021");

QString display(const Form1& form)
{
    return QStringList{form.LblCOPS->text(), form.LblMCC->text(), form.LblMNC->text(),
                       form.LblCSQ->text(),  form.LblLAC->text(), form.LblCellID->text()}
        .join(QStringLiteral(" | "));
}

class Form1ModemTest : public testing::Test, WithApplication
{
protected:
    void SetUp() override
    {
        LevelDbm() = std::nullopt;
        ASSERT_TRUE(monitor.start()) << monitor.errorString().toStdString();
        ASSERT_TRUE(monitor.port().PortOpen());
        // The test runs the cycles itself; no event loop runs in between unless it waits.
        form().core().Timer1->stop();
    }

    ModemSimulator& sim() { return monitor.simulator(); }
    Form1& form() { return monitor.window(); }

    void cycles(int count)
    {
        for (int i = 0; i < count; ++i) {
            form().core().Timer1_Timer();
        }
    }

    // Runs cycles until the labels show the steady reading again, at most `limit` of them.
    bool recovers(int limit)
    {
        for (int i = 0; i < limit; ++i) {
            cycles(1);
            if (display(form()) == kSteady) {
                return true;
            }
        }
        return false;
    }

    SimulatedMonitor monitor;
};

// One kind of trouble a real stick makes: switched on, a few cycles run under it, each leaving
// only texts the steps can cut; switched off, the steady reading comes back.
using SimulatorChange = std::function<void(ModemSimulator&)>;
struct Trouble {
    const char* name;
    SimulatorChange start;
    SimulatorChange stop;
    int cycles;
    enum { Steady, Cut } during;
};

const Trouble kTroubles[] = {
    {"UnsolicitedReports",
     [](ModemSimulator& sim) {
         // Periods prime to each other and to the latency: some reports arrive together with a
         // reply, in the same read, before or after it.
         sim.setUnsolicited(modemsim::Unsolicited::Rssi, true, 5ms);
         sim.setUnsolicited(modemsim::Unsolicited::Mode, true, 7ms);
         sim.setUnsolicited(modemsim::Unsolicited::Boot, true, 11ms);
     },
     [](ModemSimulator& sim) {
         for (const auto kind : {modemsim::Unsolicited::Rssi, modemsim::Unsolicited::Mode,
                                 modemsim::Unsolicited::Boot}) {
             sim.setUnsolicited(kind, false);
         }
     },
     4, Trouble::Cut},
    // The level line and the "OK" come in separate reads: the transaction ends on the second
    // piece alone, so the new level never reaches the label.
    // The pause is long enough that a loaded machine does not read both lines in one go.
    {"RepliesSplitPerLine",
     [](ModemSimulator& sim) {
         sim.setReplySplit(modemsim::ReplySplit::PerLine, 30ms);
         sim.setRssi(25);
     },
     [](ModemSimulator& sim) {
         sim.setReplySplit(modemsim::ReplySplit::Whole, 0ms);
         sim.setRssi(20);
     },
     3, Trouble::Cut},
    // Most end markers never arrive whole: each transaction runs to the read limit.
    {"RepliesSplitInHalves",
     [](ModemSimulator& sim) { sim.setReplySplit(modemsim::ReplySplit::Halves, 8ms); },
     [](ModemSimulator& sim) { sim.setReplySplit(modemsim::ReplySplit::Whole, 0ms); }, 1,
     Trouble::Cut},
    // Plain ERROR, which never ends a wait; "+CME ERROR" ends it at once and each reply step
    // leaves everything as it was on it (their tables).
    {"ErrorReplies",
     [](ModemSimulator& sim) {
         sim.silenceForever();
         sim.setLogObserver([&sim](const LogEntry&) { sim.sendRaw("\r\nERROR\r\n"); });
     },
     [](ModemSimulator& sim) {
         sim.setLogObserver({});
         sim.endSilence();
     },
     2, Trouble::Steady},
    // Garbage trickling in every 10 ms: some of it lands in the same read as a reply.
    {"GarbageBetweenReplies", [](ModemSimulator& sim) { sim.flood(4 * 1024, 6000); },
     [](ModemSimulator& sim) { sim.stopFlood(); }, 3, Trouble::Cut},
    {"Flood64KiB", [](ModemSimulator& sim) { sim.flood(64 * 1024, 0); },
     [](ModemSimulator& sim) { sim.stopFlood(); }, 3, Trouble::Cut},
};

class Form1TroubleTest : public Form1ModemTest, public testing::WithParamInterface<Trouble>
{
};

TEST_P(Form1TroubleTest, LabelsHoldOnlyCutTextsAndTheReadingComesBack)
{
    const Trouble& trouble = GetParam();
    cycles(2);
    ASSERT_EQ(display(form()), kSteady);

    trouble.start(sim());
    for (int i = 0; i < trouble.cycles; ++i) {
        SCOPED_TRACE(i);
        cycles(1);
        EXPECT_TRUE(form().core().Timer1->isActive());
        if (trouble.during == Trouble::Steady) {
            EXPECT_EQ(display(form()), kSteady);
        } else {
            EXPECT_EQ(impossibleField(form()), QString());
        }
    }
    trouble.stop(sim());
    EXPECT_TRUE(recovers(6)) << display(form()).toStdString();
}

INSTANTIATE_TEST_SUITE_P(RealStickTrouble, Form1TroubleTest, testing::ValuesIn(kTroubles),
                         [](const testing::TestParamInfo<Trouble>& info) {
                             return std::string(info.param.name);
                         });

// The stick is pulled while the signal query waits for its reply, then plugged in again as
// another port: the monitor says so, keeps its readings in grey, stays silent, and finds the
// stick by itself through the device list.
TEST_F(Form1ModemTest, APulledStickIsFoundAgainUnderAnotherNumber)
{
    cycles(2);
    ASSERT_EQ(display(form()), kSteady);

    sim().clearLog();
    sim().setLatency(40ms);
    std::thread puller([this] {
        sim().waitForCommands(3, 5000);
        monitor.unplugStick();
    });
    cycles(1);
    puller.join();
    EXPECT_EQ(form().windowTitle(), "kestrel — USB3: unplugged, waiting for the stick");
    EXPECT_FALSE(monitor.port().PortOpen());
    EXPECT_FALSE(form().core().Timer1->isActive());
    EXPECT_EQ(display(form()), kSteady);
    EXPECT_EQ(form().LblCSQ->palette().color(QPalette::WindowText), Form1::staleColour());
    form().Check2->setChecked(true);
    monitor.sound().calls.clear();
    QMetaObject::invokeMethod(form().Timer3, "timeout");
    EXPECT_TRUE(monitor.sound().calls.isEmpty());

    sim().setLatency(15ms);
    sim().setRssi(25);
    ASSERT_TRUE(monitor.replugStick(4)) << monitor.errorString().toStdString();
    EXPECT_TRUE(waitUntil([this] {
        return form().LblCSQ->text() == QStringLiteral("  -63db") &&
               form().LblCSQ->palette().color(QPalette::WindowText) != Form1::staleColour();
    })) << form().windowTitle().toStdString();
    EXPECT_EQ(form().windowTitle(), "kestrel — USB4");
    EXPECT_EQ(monitor.port().CommPort(), 4);
    EXPECT_EQ(form().Combo1->currentText(), SimulatedMonitor::stickCaption(4));
    EXPECT_EQ(display(form()).replace("-63", "-73"), kSteady);
}

// The core in a thread of its own, as in the program: a connection type chosen while a cycle
// waits for the stick goes out after that cycle's last command, never between two of them;
// the readings reach the window; and closing the window ends a wait on a silent stick.
TEST(Form1OwnThreadTest, ChoicesWaitForTheCycleAndClosingEndsTheWait)
{
    WidgetApp app;
    LevelDbm() = std::nullopt;
    SimulatedMonitor monitor;
    monitor.setOwnThread(true);
    monitor.simulator().setLatency(40ms);
    ASSERT_TRUE(monitor.start()) << monitor.errorString().toStdString();
    Form1& form = monitor.window();
    ASSERT_TRUE(waitUntil([&] { return display(form) == kSteady; }, 10000))
        << display(form).toStdString();

    monitor.simulator().clearLog();
    ASSERT_TRUE(monitor.simulator().waitForCommands(2, 5000)) << "a cycle is under way";
    pickFromList(form.Combo2, 0);
    QByteArrayList commands;
    ASSERT_TRUE(waitUntil([&] {
        commands.clear();
        for (const LogEntry& entry : monitor.simulator().log())
            commands << entry.command;
        return commands.contains("AT^SYSCFG=14,2,3fffffff,0,1");
    }));
    const qsizetype choice = commands.indexOf("AT^SYSCFG=14,2,3fffffff,0,1");
    ASSERT_GT(choice, 0);
    EXPECT_EQ(commands[choice - 1], "AT+CGREG?") << commands.join(' ').toStdString();
    EXPECT_EQ(commands.mid(0, choice).count("AT+COPS?"), 1);

    monitor.simulator().silenceForever();
    ASSERT_TRUE(waitUntil([&] { return form.windowTitle().endsWith("no reply"); }, 10000));
    form.close();
    EXPECT_FALSE(monitor.port().PortOpen());
    EXPECT_EQ(monitor.core().thread(), QThread::currentThread()) << "the core's thread ended";
}

} // namespace
