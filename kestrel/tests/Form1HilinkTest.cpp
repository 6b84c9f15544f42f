// The main window reading a HiLink stick over HTTP on 127.0.0.1, as a user opens one in the port
// box: the simulator's 4G stick through a session expiry, an unplug and a password, and a stick
// whose replies turn huge or hostile.
#include "kestrel/tests/ListPick.h"
#include "kestrel/tests/WindowFixture.h"
#include "platform/web/tests/LocalHttpServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitUntil.h"
#include "tools/modemsim/HilinkServer.h"
#include "tools/modemsim/LteStick.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace
{

class Form1HilinkTest : public WindowFixture
{
protected:
    // Types the stick's address into the port box with Return, as a user does.
    void openStick(const QString& base)
    {
        load(QList<DeviceEntry>{});
        typeAndReturn(form().Combo1, QStringLiteral("HiLink ") + QUrl(base).authority());
        stick_ = QStringLiteral("kestrel — HiLink ") + QUrl(base).authority();
    }
    QString title() { return form().core().title(); }
    bool titleIs(const QString& rest) { return title() == stick_ + rest; }
    QString display()
    {
        return QStringList{form().LblCOPS->text(),   form().LblMCC->text(),
                           form().LblMNC->text(),    form().LblCSQ->text(),
                           form().LblLAC->text(),    form().LblCellID->text(),
                           form().LblQuality->text()}
            .join(QStringLiteral(" | "));
    }

    QString stick_;
};

TEST_F(Form1HilinkTest, ReadsTheSimulatorsStickThroughSessionExpiryUnplugAndPassword)
{
    modemsim::ModemSimulator sim;
    ASSERT_TRUE(sim.start());
    sim.modifyState(modemsim::useLteStick);
    modemsim::HilinkServer server(sim);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    openStick(QStringLiteral("http://127.0.0.1:%1").arg(server.port()));

    // Two cycles of 300 ms and their requests.
    ASSERT_TRUE(waitUntil([&] { return form().LblCOPS->text() == "T-Mobile (4G)"; }, 1500))
        << title().toStdString();
    EXPECT_TRUE(
        display().startsWith("T-Mobile (4G) | 310 | 260 |   -73db | 6699 | 27447297 | RSRP"))
        << display().toStdString();
    EXPECT_TRUE(form().LblQuality->text().contains("-96 dBm")) << display().toStdString();
    EXPECT_TRUE(form().LblQuality->text().contains("16.0 dB"));
    EXPECT_TRUE(form().LblQuality->text().contains("-11.0 dB"));
    EXPECT_TRUE(titleIs({})) << title().toStdString();

    TempFolder folder;
    dialog.nextChoices = QStringList{folder.path("cell.ini"), folder.path("aim.csv")};
    form().CommandSave_Click();
    EXPECT_EQ(folder.read("cell.ini").toStdString(),
              "[Value]\r\ncellid=27447297\r\nlac=6699\r\nmnc=260\r\nmcc=310\r\n"
              "operator=T-Mobile (4G)\r\n\r\n");

    // Record while the session expires: the readings go on, one per cycle.
    form().MnuRecord->trigger();
    QList<qint64> readingTimes;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&form().core(), &MonitorCore::readingReady, &form(),
                     [&](const MonitorReading& r) {
                         if (!r.operatorStale) {
                             readingTimes << clock.elapsed();
                         }
                     });
    sim.modifyState([](modemsim::ModemState& s) { ++s.hilinkSessionEpoch; });
    waitUntil([] { return false; }, 2000);
    form().MnuRecord->trigger();
    ASSERT_GE(readingTimes.size(), 4);
    for (qsizetype i = 1; i < readingTimes.size(); ++i) {
        EXPECT_LT(readingTimes[i] - readingTimes[i - 1], 600) << "a gap after reading " << i;
    }
    const QList<QByteArray> lines = folder.read("aim.csv").split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_TRUE(lines[2].contains(",-96,-11.0,16.0,")) << lines[2].toStdString();

    sim.unplug();
    EXPECT_TRUE(waitUntil([&] { return titleIs(": unplugged, waiting for the stick"); }))
        << title().toStdString();
    ASSERT_TRUE(sim.replug());
    EXPECT_TRUE(waitUntil([&] { return titleIs({}) && !form().reading().operatorStale; }))
        << title().toStdString();

    // "3G Only" from the connection-type box, posted to the stick.
    pickFromList(form().Combo2, 0);
    EXPECT_TRUE(waitUntil([&] { return form().LblCOPS->text() == "T-Mobile (3G)"; }));
    EXPECT_TRUE(form().Combo2->toolTip().isEmpty()) << form().Combo2->toolTip().toStdString();

    sim.modifyState([](modemsim::ModemState& s) { s.hilinkPassword = QStringLiteral("secret"); });
    EXPECT_TRUE(waitUntil([&] { return titleIs(": the stick asks for its password"); }))
        << title().toStdString();
    for (const char* typed : {"wrong", "secret"}) {
        QInputDialog* asking = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            asking = form().findChild<QInputDialog*>(QStringLiteral("PasswordDialog"));
            return asking && asking->isVisible();
        }));
        EXPECT_EQ(asking->textEchoMode(), QLineEdit::Password);
        QTest::keyClicks(asking->findChild<QLineEdit*>(), QString::fromLatin1(typed));
        QTest::keyClick(asking->findChild<QLineEdit*>(), Qt::Key_Return);
        waitUntil([&] { return !form().findChild<QInputDialog*>("PasswordDialog"); });
    }
    EXPECT_TRUE(waitUntil([&] { return titleIs({}) && !form().reading().operatorStale; }))
        << title().toStdString();
}

TEST_F(Form1HilinkTest, AHugeOrEntityBombReplyChangesNothingButTheTitle)
{
    LocalHttpServer stick;
    const auto page = [](const QByteArray& xml) {
        return LocalHttpServer::Reply{200, "text/xml", "<?xml version=\"1.0\"?>" + xml, {}};
    };
    stick.route("/api/webserver/SesTokInfo",
                page("<response><SesInfo>SessionID=s1</SesInfo><TokInfo>t1</TokInfo></response>"));
    stick.route("/api/pin/status", page("<response><SimState>257</SimState></response>"));
    const LocalHttpServer::Reply signal =
        page("<response><rssi>-61dBm</rssi><rsrp>-86dBm</rsrp><sinr>10dB</sinr>"
             "<cell_id>44294436</cell_id><tac>57332</tac><mode>7</mode></response>");
    stick.route("/api/device/signal", signal);
    stick.route("/api/net/current-plmn",
                page("<response><FullName>Telekom.de</FullName><Numeric>26201</Numeric>"
                     "<Rat>7</Rat></response>"));
    openStick(stick.base());
    ASSERT_TRUE(waitUntil([&] { return form().LblCellID->text() == "44294436"; }, 1500));
    const QString shown = display();

    const QByteArray bomb =
        "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><response><rssi>&c;</rssi></response>";
    for (const QByteArray& body : {QByteArray(10 * 1024 * 1024, 'x'), bomb}) {
        stick.route("/api/device/signal", page(body));
        EXPECT_TRUE(waitUntil([&] { return titleIs(": no reply"); })) << title().toStdString();
        EXPECT_EQ(display(), shown);
        stick.route("/api/device/signal", signal);
        EXPECT_TRUE(waitUntil([&] { return titleIs({}); })) << title().toStdString();
    }
}

} // namespace
