// A 4G stick on LTE, from the monitor's window to the map: kestrel polls the simulated stick
// (with its unsolicited reports on), "Save id" writes the ID file, and the locator reads that
// file and asks the cell service, which serves the sample export on 127.0.0.1.
#include "idfile/IdFile.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/lookup/CellLookup.h"
#include "tests/end_to_end/SampleCellService.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "tools/modemsim/LteStick.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

using namespace std::chrono_literals;

// A simulated 4G stick on LTE and the monitor on it, started by the test, which then runs the
// polling cycles itself.
class LteStickToMap : public testing::Test, WithApplication
{
protected:
    LteStickToMap() { sim.modifyState(modemsim::useLteStick); }
    Form1& start()
    {
        EXPECT_TRUE(monitor.start()) << monitor.errorString().toStdString();
        monitor.window().core().Timer1->stop();
        return monitor.window();
    }

    QTemporaryDir dir;
    SimulatedMonitor monitor;
    modemsim::ModemSimulator& sim = monitor.simulator();
};

TEST_F(LteStickToMap, TheCellOfA4GStickIsSavedAndFoundOnTheMap)
{
    // Periods prime to each other and to the latency, so reports share reads with replies.
    sim.setUnsolicited(modemsim::Unsolicited::Boot, true, 7ms);
    sim.setUnsolicited(modemsim::Unsolicited::DsFlowRpt, true, 11ms);
    sim.setUnsolicited(modemsim::Unsolicited::Hcsq, true, 13ms);
    sim.setUnsolicited(modemsim::Unsolicited::Mode, true, 17ms);
    Form1& form = start();
    // The labels after `cycles` polling cycles.
    const auto displayAfter = [&form](int cycles) {
        for (int i = 0; i < cycles; ++i)
            form.core().Timer1_Timer();
        return QStringList{form.LblCOPS->text(), form.LblMCC->text(), form.LblMNC->text(),
                           form.LblCSQ->text(),  form.LblLAC->text(), form.LblCellID->text()};
    };

    // The cell of the stick's +CEREG reply: its +CGREG one names another.
    const QStringList steady{"T-Mobile (4G)", "310", "260", "  -73db", "6699", "27447297"};
    ASSERT_EQ(displayAfter(4), steady);
    EXPECT_EQ(form.LblCOPS->palette().color(QPalette::WindowText), QColor(255, 176, 0));
    sim.setRssi(9);
    EXPECT_EQ(displayAfter(2)[3], QString("  -95db"));

    monitor.fileDialog().nextChoices << dir.filePath("lte.ini");
    form.CommandSave_Click();
    FakeMessageSink messages;
    const CellIdentity saved = openIdFile(dir.filePath("lte.ini"), messages, "plover").value();
    EXPECT_EQ(QStringList({saved.operatorName, saved.mcc, saved.mnc, saved.lac, saved.cellid}),
              QStringList({"T-Mobile (4G)", "310", "260", "6699", "27447297"}));

    SampleCellService service;
    NetworkPageLoader loader;
    FakeUrlOpener opener;
    lookup::CellLookup lookup({service.base(), "https://map.test"}, loader, opener, messages);
    QObject::connect(&loader, &PageLoader::DocumentComplete, [&lookup] { lookup.web1(); });
    lookup.click({saved.mcc, saved.mnc, saved.lac, saved.cellid});
    // The sample holds this cell at latitude 40.7484, longitude -73.9857.
    EXPECT_EQ(
        lookupOutcomes(opener, messages),
        QStringList{"https://map.test/?l=map/&pt=-73.98570,40.74840&ll=-73.98570,40.74840&z=10"});
}

// Aiming a 4G stick by SINR: the record's line of each cycle carries the RSRP and SINR the stick
// gave in that cycle, a mark lands on the next line, and a stick that refuses ^HCSQ is read
// through +CESQ.
TEST_F(LteStickToMap, TheRecordFollowsASweepOfRsrpAndSinrCycleByCycle)
{
    Form1& form = start();
    monitor.fileDialog().nextChoices << dir.filePath("sweep.csv");
    form.MnuRecord->trigger();
    form.MnuAimBy[static_cast<int>(AimMeasure::Sinr)]->trigger();
    const struct {
        int rsrp;
        int sinrTenths;
        bool refuseHcsq;
        QString note;
        QString columns; // rsrp_dbm to note, as the record writes them
    } sweep[] = {
        {-110, -34, false, "", "-110,-11.0,-3.4,,,,,,107216,1,1,425,"},
        {-101, 42, false, "N 30°", "-101,-11.0,4.2,,,,,,107216,1,1,425,N 30°"},
        {-90, 124, false, "", "-90,-11.0,12.4,,,,,,107216,1,1,425,"},
        {-84, 124, true, "", "-84,-11.0,,,,,,,107216,1,1,425,"},
    };
    for (const auto& step : sweep) {
        sim.modifyState([&step](modemsim::ModemState& s) {
            s.lteQuality.rsrpDbm = step.rsrp;
            s.lteQuality.sinrTenths = step.sinrTenths;
            s.refuseHcsq = step.refuseHcsq;
        });
        if (!step.note.isEmpty()) {
            form.MnuMark->trigger();
            auto* dialog = form.findChild<QInputDialog*>(QStringLiteral("MarkDialog"));
            ASSERT_NE(dialog, nullptr);
            dialog->setTextValue(step.note);
            dialog->accept();
        }
        form.core().Timer1_Timer();
        QCoreApplication::processEvents(); // the reading reaches the window
        const QString last =
            QString::fromUtf8(fileBytes(dir.filePath("sweep.csv"))).trimmed().section(u'\n', -1);
        EXPECT_TRUE(last.endsWith(step.columns)) << last.toStdString();
    }
    EXPECT_EQ(form.LblQuality->text(), "RSRP -84 dBm\nRSRQ -11.0 dB") << "read through +CESQ";
}

} // namespace
