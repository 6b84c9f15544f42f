// A 4G stick on LTE, from the monitor's window to the map: kestrel polls the simulated stick
// (with its unsolicited reports on), "Save id" writes the ID file, and the locator reads that
// file and asks the cell service, which serves the sample export on 127.0.0.1.
#include "ini/IdFile.h"
#include "kestrel/demo/SimulatedMonitor.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/lookup/CellLookup.h"
#include "tests/support/TestApp.h"
#include "tests/support/WaitUntil.h"
#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/HttpServer.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ReaderPool.h"
#include "tools/modemsim/LteStick.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>

namespace
{

using namespace std::chrono_literals;
using modemsim::Unsolicited;

QString display(const Form1& form)
{
    return QStringList{form.LblCOPS->text(), form.LblMCC->text(), form.LblMNC->text(),
                       form.LblCSQ->text(),  form.LblLAC->text(), form.LblCellID->text()}
        .join(QStringLiteral(" | "));
}

// Runs polling cycles until `done` holds, at most `limit` of them.
bool cyclesUntil(Form1& form, int limit, const std::function<bool()>& done)
{
    for (int i = 0; i < limit && !done(); ++i) {
        form.Timer1_Timer();
    }
    return done();
}

TEST(LteStickToMap, TheCellOfA4GStickIsSavedAndFoundOnTheMap)
{
    WidgetApp app;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SimulatedMonitor monitor;
    modemsim::ModemSimulator& sim = monitor.simulator();
    sim.modifyState(modemsim::useLteStick);
    // Periods prime to each other and to the latency, so reports share reads with replies.
    sim.setUnsolicited(Unsolicited::Boot, true, 7ms);
    sim.setUnsolicited(Unsolicited::DsFlowRpt, true, 11ms);
    sim.setUnsolicited(Unsolicited::Hcsq, true, 13ms);
    sim.setUnsolicited(Unsolicited::Mode, true, 17ms);
    ASSERT_TRUE(monitor.start()) << monitor.errorString().toStdString();
    Form1& form = monitor.window();
    form.Timer1->stop();

    const QString steady = QStringLiteral("T-Mobile (4G) | 310 | 260 |   -73db | 6699 | 27447297");
    ASSERT_TRUE(cyclesUntil(form, 4, [&] { return display(form) == steady; }))
        << display(form).toStdString();
    EXPECT_EQ(form.LblCOPS->palette().color(QPalette::WindowText), QColor(255, 176, 0));
    for (const int rssi : {25, 9, 31}) {
        sim.setRssi(rssi);
        const QString level = QStringLiteral("  %1db").arg(-113 + 2 * rssi);
        EXPECT_TRUE(cyclesUntil(form, 2, [&] { return form.LblCSQ->text() == level; }))
            << "index " << rssi << ": " << display(form).toStdString();
    }
    bool askedCereg = false;
    for (const modemsim::LogEntry& entry : sim.log()) {
        askedCereg = askedCereg || entry.command == "AT+CEREG?";
        EXPECT_NE(entry.command, "AT+CGREG?") << "a 4G stick's cell comes from +CEREG";
    }
    EXPECT_TRUE(askedCereg);

    const QString idFile = dir.filePath(QStringLiteral("lte.ini"));
    monitor.fileDialog().nextChoices << idFile;
    form.CommandSave_Click();
    FakeMessageSink messages;
    const CellIdentity saved = openIdFile(idFile, messages, QStringLiteral("plover")).value();
    EXPECT_EQ(saved.operatorName, QStringLiteral("T-Mobile (4G)"));
    EXPECT_EQ(QStringList({saved.mcc, saved.mnc, saved.lac, saved.cellid}),
              QStringList({"310", "260", "6699", "27447297"}));

    const std::string database = dir.filePath(QStringLiteral("cells.db")).toStdString();
    const std::atomic<bool> stop{false};
    cellsvc::importFile(CELLSVC_SAMPLE, database, 16, {}, stop);
    cellsvc::ReaderPool readers(database, 2);
    cellsvc::CellService service(
        [&readers](const cellsvc::CellKey& key) { return readers.find(key); });
    cellsvc::HttpServer server(cellsvc::ListenAddress{"127.0.0.1", 0},
                               [&service](std::string_view method, std::string_view target) {
                                   return service.handle(method, target);
                               });
    NetworkPageLoader loader;
    FakeUrlOpener opener;
    const QString mapBase = QStringLiteral("https://map.test");
    lookup::CellLookup lookup({QStringLiteral("http://127.0.0.1:%1").arg(server.port()), mapBase},
                              loader, opener, messages);
    QObject::connect(&loader, &PageLoader::DocumentComplete, [&lookup] { lookup.web1(); });
    lookup.click({saved.mcc, saved.mnc, saved.lac, saved.cellid});
    ASSERT_TRUE(waitUntil([&] { return !opener.opened.isEmpty() || !messages.shown.isEmpty(); }));
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_EQ(opener.opened.size(), 1);
    // The sample holds this cell at latitude 40.7484, longitude -73.9857.
    EXPECT_EQ(opener.opened.first().toString(QUrl::FullyEncoded),
              mapBase + "/?l=map/&pt=-73.98570,40.74840&ll=-73.98570,40.74840&z=10");
}

} // namespace
