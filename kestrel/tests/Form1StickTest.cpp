// The main window finding, opening and losing its stick, over a scripted port, a device list
// the test writes and a device watch the test drives: start-up, retries, the port box, what the
// title says, which readings are grey and when the voice is silent.
#include "kestrel/tests/ListPick.h"
#include "kestrel/tests/WindowFixture.h"
#include "platform/window/WindowHelpers.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <functional>

namespace
{

using Form1Stick = WindowFixture;

// Only the first device whose description matches exactly is opened, and added to the port box;
// the voice timer runs either way.
TEST_F(Form1Stick, LoadOpensTheFirstModemsPortAndStartsPolling)
{
    const QString stick = stickAs(3)[0].caption;
    const struct {
        const char* name;
        std::optional<QList<DeviceEntry>> devices;
        QString opened; // the port box's text, empty when nothing opened
    } rows[] = {
        {"TheFirstOfTwoSticks",
         QList<DeviceEntry>{{QStringLiteral("Standard Serial"), QStringLiteral("Standard (COM1)")},
                            {huaweiPcUiDescription, stick},
                            {huaweiPcUiDescription, stickAs(5)[0].caption}},
         stick},
        {"DifferentCase", QList<DeviceEntry>{{huaweiPcUiDescription.toLower(), stick.toLower()}},
         ""},
        {"UnreadableInventory", std::nullopt, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        port = FakeCommControl();
        Form1& f = load(row.devices);
        const bool opened = !row.opened.isEmpty();
        EXPECT_EQ(port.PortOpen(), opened);
        EXPECT_EQ(port.openCount, opened ? 1 : 0);
        EXPECT_EQ(port.PortOpen() ? port.settings : "", opened ? "128000,N,8,1" : "");
        EXPECT_EQ(f.core().Timer1->isActive(), opened);
        EXPECT_FALSE(f.core().link().TimerPause->isActive());
        EXPECT_TRUE(f.Timer3->isActive());
        EXPECT_EQ(f.Combo1->currentText(), row.opened);
        EXPECT_EQ(f.Combo1->count(), opened ? 28 : 27);
        EXPECT_EQ(f.Combo1->itemText(27), row.opened);
        EXPECT_TRUE(f.Combo1->toolTip().isEmpty());
        EXPECT_EQ(f.windowTitle(), opened ? "kestrel — USB3" : "kestrel — looking for the modem");
    }
}

TEST_F(Form1Stick, AFailedOpeningRetriesOnTheThirdTickWithTheBoxsCurrentText)
{
    port.failingPorts = {3};
    Form1& f = load(stickAs(3));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(f.core().link().TimerPause->isActive());
    EXPECT_FALSE(f.core().Timer1->isActive());
    EXPECT_EQ(f.Combo1->toolTip(), QStringLiteral("cannot open port"));
    EXPECT_EQ(f.windowTitle(), "kestrel — USB3: cannot open port");

    f.Combo1->setEditText(QStringLiteral("5"));
    f.core().link().TimerPause_Timer();
    f.core().link().TimerPause_Timer();
    EXPECT_FALSE(port.PortOpen());
    f.core().link().TimerPause_Timer();
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 5);
    EXPECT_TRUE(f.core().Timer1->isActive());
    EXPECT_FALSE(f.core().link().TimerPause->isActive());
    EXPECT_TRUE(f.Combo1->toolTip().isEmpty());
}

TEST_F(Form1Stick, PickingAPortClosesTheOpenOneFirstAndUnloadClosesIt)
{
    Form1& f = load(stickAs(3));
    pickFromList(f.Combo1, 5);
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 5);
    pickFromList(f.Combo1, 27);
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_EQ(port.openCount, 3);
    f.Form_Unload();
    EXPECT_FALSE(port.PortOpen());
    EXPECT_FALSE(f.core().Timer1->isActive() || f.Timer3->isActive() ||
                 f.core().link().TimerPause->isActive());
}

// The device watch tells that the stick was pulled and came back as another port: the readings
// stay, grey, the voice silent, until the stick answers again. The same through a stick's
// hang-up alone is the pulled stick test's, over a pseudo-terminal.
TEST_F(Form1Stick, TheWatchSeesTheStickGoAndComeBackAsAnotherPort)
{
    Form1& form = load(stickAs(3));
    cycle();
    const auto levelGrey = [&form] { return textColour(form.LblCSQ) == Form1::staleColour(); };
    ASSERT_FALSE(levelGrey());

    port.lost = true;
    inventory.list = QList<DeviceEntry>{};
    watch.remove(QStringLiteral("ttyUSB3"));
    EXPECT_EQ(form.windowTitle(), "kestrel — USB3: unplugged, waiting for the stick");
    EXPECT_FALSE(form.core().Timer1->isActive());
    EXPECT_TRUE(levelGrey());

    inventory.list = stickAs(4);
    watch.add(QStringLiteral("ttyUSB4"));
    EXPECT_EQ(port.CommPort(), 4);
    EXPECT_TRUE(levelGrey()) << "nothing was read yet";
    EXPECT_TRUE(voiceTick().isEmpty());
    cycle();
    EXPECT_FALSE(levelGrey());
    EXPECT_EQ(form.LblCSQ->text(), "  -73db");
    EXPECT_EQ(voiceTick().value(0), "FileName=/opt/kestrel/sound/73.MP3");
}

// With no stick at start, the first one plugged in is opened.
TEST_F(Form1Stick, TheFirstStickPluggedInIsOpened)
{
    Form1& form = load(QList<DeviceEntry>{});
    EXPECT_TRUE(form.core().link().TimerWatch->isActive());
    inventory.list = stickAs(2);
    QMetaObject::invokeMethod(form.core().link().TimerWatch, "timeout");
    ASSERT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 2);
    EXPECT_FALSE(form.core().link().TimerWatch->isActive());
}

TEST_F(Form1Stick, ReturnInThePortBoxOpensATypedPortAtOnce)
{
    const struct {
        const char* typed;
        qint16 port; // the port open afterwards: 3 is the stick's, which stays when nothing opens
        QString toolTip;
        QString path = {}; // a device path opened instead of a number
    } rows[] = {
        {"5", 5, ""},
        {"/dev/pts/7", 3, "", "/dev/pts/7"},
        {"HUAWEI Mobile Connect - 3G PC UI Interface (USB7)", 7, ""},
        {"abc", 3, "\"abc\" is not a port number"},
        {"70000", 3, "\"70000\" is not a port number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        port = FakeCommControl();
        Form1& form = load(stickAs(3));
        typeAndReturn(form.Combo1, QString::fromUtf8(row.typed));
        EXPECT_TRUE(port.PortOpen());
        EXPECT_EQ(port.CommPort(), row.port);
        EXPECT_EQ(port.openCount, row.port == 3 && row.path.isEmpty() ? 1 : 2);
        EXPECT_EQ(form.Combo1->toolTip(), row.toolTip);
        EXPECT_EQ(port.devicePath, row.path);
        // The title the core gives, with the port box's complaint.
        EXPECT_EQ(form.windowTitle(),
                  "kestrel — " + (row.path.isEmpty() ? QString("USB%1").arg(row.port) : row.path) +
                      (row.toolTip.isEmpty() ? "" : " — " + row.toolTip));
    }
    // "hu" with Command2 fails too; the open port and polling stay, the retry starts.
    port = FakeCommControl();
    Form1& form = load(stickAs(3));
    form.Combo1->setEditText(QStringLiteral("hu"));
    form.Command2->click();
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_TRUE(port.PortOpen() && form.core().Timer1->isActive() &&
                form.core().link().TimerPause->isActive());
    EXPECT_EQ(form.Combo1->toolTip(), QStringLiteral("\"hu\" is not a port number"));
}

} // namespace
