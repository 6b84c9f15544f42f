// A 4G stick on LTE, from the monitor's window to the map: kestrel polls the simulated stick
// (with its unsolicited reports on), "Save id" writes the ID file, and the locator reads that
// file and asks the cell service, which serves the sample export on 127.0.0.1.
#include "idfile/IdFile.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/lookup/CellLookup.h"
#include "tests/end_to_end/SampleCellService.h"
#include "tests/support/TestApp.h"
#include "tools/modemsim/LteStick.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

using namespace std::chrono_literals;

TEST(LteStickToMap, TheCellOfA4GStickIsSavedAndFoundOnTheMap)
{
    WidgetApp app;
    QTemporaryDir dir;
    SimulatedMonitor monitor;
    modemsim::ModemSimulator& sim = monitor.simulator();
    sim.modifyState(modemsim::useLteStick);
    // Periods prime to each other and to the latency, so reports share reads with replies.
    sim.setUnsolicited(modemsim::Unsolicited::Boot, true, 7ms);
    sim.setUnsolicited(modemsim::Unsolicited::DsFlowRpt, true, 11ms);
    sim.setUnsolicited(modemsim::Unsolicited::Hcsq, true, 13ms);
    sim.setUnsolicited(modemsim::Unsolicited::Mode, true, 17ms);
    ASSERT_TRUE(monitor.start()) << monitor.errorString().toStdString();
    Form1& form = monitor.window();
    form.core().Timer1->stop();
    // The labels after `cycles` polling cycles.
    const auto displayAfter = [&form](int cycles) {
        for (int i = 0; i < cycles; ++i)
            form.core().Timer1_Timer();
        return QStringList{form.LblCOPS->text(), form.LblMCC->text(), form.LblMNC->text(),
                           form.LblCSQ->text(),  form.LblLAC->text(), form.LblCellID->text()};
    };

    const QStringList steady{"T-Mobile (4G)", "310", "260", "  -73db", "6699", "27447297"};
    ASSERT_EQ(displayAfter(4), steady);
    EXPECT_EQ(form.LblCOPS->palette().color(QPalette::WindowText), QColor(255, 176, 0));
    sim.setRssi(9);
    EXPECT_EQ(displayAfter(2)[3], QString("  -95db"));
    QByteArrayList commands;
    for (const modemsim::LogEntry& entry : sim.log())
        commands << entry.command;
    EXPECT_TRUE(commands.contains("AT+CEREG?") && !commands.contains("AT+CGREG?"))
        << "a 4G stick's cell comes from +CEREG";

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

} // namespace
