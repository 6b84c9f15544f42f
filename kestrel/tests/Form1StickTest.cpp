// Form1 and its stick coming and going, over a scripted port, a device list the test writes
// and a device watch the test drives: what the title says, which readings are grey, when the
// voice is silent, and what Return in the port box opens.
#include "kestrel/Form1.h"
#include "kestrel/Form2.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/tests/ListPick.h"
#include "kestrel/tests/WholeCycle.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/hotplug/FakeDeviceWatch.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tests/support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace
{

const QColor kBlue(0, 0, 255);
const QColor kLightBlue(192, 192, 255);

QList<DeviceEntry> stickAs(int port)
{
    return {{huaweiPcUiDescription, huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(port)}};
}

// Public, so that the rows of a table can drive it.
class Form1StickTest : public testing::Test, WithApplication
{
public:
    ~Form1StickTest() override { LevelDbm() = std::nullopt; }

    Form1& load(const QList<DeviceEntry>& devices)
    {
        inventory.list = devices;
        window = std::make_unique<Form1>(MonitorPlatform{port, inventory, sound, dialog,
                                                         QStringLiteral("/opt/kestrel"), &watch});
        window->Form_Load();
        return *window;
    }

    void cycle(const QStringList& replies = kWholeCycle)
    {
        for (const QString& reply : replies) {
            port.scriptedReads.emplace_back(reply);
        }
        window->Timer1_Timer();
    }

    // What one tick of the voice timer asks of the player, with "LEVEL AS VOICE" ticked.
    QStringList voiceTick()
    {
        sound.calls.clear();
        window->Check2->setChecked(true);
        QMetaObject::invokeMethod(window->Timer3, "timeout");
        return sound.calls;
    }

    // The colour of each reading, "grey" where it is drawn stale.
    QStringList colours() const
    {
        QStringList out;
        const auto name = [](const QColor& c) {
            return c == Form1::staleColour() ? QStringLiteral("grey") : c.name();
        };
        for (const QLabel* label : {window->LblCOPS, window->LblMCC, window->LblMNC, window->LblCSQ,
                                    window->LblLAC, window->LblCellID}) {
            out << name(label->palette().color(QPalette::WindowText));
        }
        out << name(window->ProgressBar1->BarColorStart());
        return out;
    }

    FakeCommControl port;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    FakeDeviceWatch watch;
    std::unique_ptr<Form1> window;
};

TEST_F(Form1StickTest, TheTitleTellsWhereTheMonitorStands)
{
    const struct {
        const char* name;
        std::function<void(Form1StickTest&)> steps;
        QString title;
    } rows[] = {
        {"no stick", [](auto& t) { t.load({}); }, "kestrel — looking for the modem"},
        {"the port cannot be opened",
         [](auto& t) {
             t.port.failingPorts = {3};
             t.load(stickAs(3));
         },
         "kestrel — USB3: cannot open port"},
        {"replies come",
         [](auto& t) {
             t.load(stickAs(3));
             t.cycle();
         },
         "kestrel — USB3"},
        {"one cycle without a reply",
         [](auto& t) {
             t.load(stickAs(3));
             t.cycle();
             t.cycle({});
         },
         "kestrel — USB3"},
        {"two cycles without a reply",
         [](auto& t) {
             t.load(stickAs(3));
             t.cycle({});
             t.cycle({QStringLiteral("\r\nERROR\r\n")});
         },
         "kestrel — USB3: no reply"},
        {"a reply again",
         [](auto& t) {
             t.load(stickAs(3));
             t.cycle({});
             t.cycle({});
             t.cycle();
         },
         "kestrel — USB3"},
        {"the device went away during a cycle",
         [](auto& t) {
             t.load(stickAs(3));
             t.port.lost = true;
             t.cycle();
         },
         "kestrel — USB3: unplugged, waiting for the stick"},
        {"typed text that is no port",
         [](auto& t) {
             t.load(stickAs(3));
             typeAndReturn(t.window->Combo1, QStringLiteral("abc"));
         },
         "kestrel — USB3 — \"abc\" is not a port number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        port = FakeCommControl();
        row.steps(*this);
        EXPECT_EQ(window->windowTitle(), row.title);
    }
}

// The stick is pulled while polling and comes back as another port: the readings keep their
// text in grey and the voice is silent until the stick answers again, with no click.
TEST_F(Form1StickTest, UnplugGreysTheReadingsAndReplugBringsThemBack)
{
    Form1& form = load(stickAs(3));
    form.Check1->setChecked(false);
    cycle();
    const QStringList live{kBlue.name(),      kLightBlue.name(), kLightBlue.name(),
                           kLightBlue.name(), kLightBlue.name(), kLightBlue.name(),
                           kBlue.name()};
    ASSERT_EQ(colours(), live);
    ASSERT_FALSE(voiceTick().isEmpty());

    port.lost = true;
    inventory.list = QList<DeviceEntry>{};
    watch.remove(QStringLiteral("ttyUSB3"));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_TRUE(form.TimerWatch->isActive());
    EXPECT_EQ(form.windowTitle(), "kestrel — USB3: unplugged, waiting for the stick");
    EXPECT_EQ(form.LblCOPS->text(), "Mobile Net (3G)");
    EXPECT_EQ(form.LblCSQ->text(), "  -73db");
    EXPECT_EQ(colours(), QStringList(7, "grey"));
    EXPECT_TRUE(voiceTick().isEmpty());

    form.Command1_Click();
    Form2* view = form.fullScreenView();
    ASSERT_NE(view, nullptr);
    view->Timer1_Timer();
    EXPECT_EQ(view->Label2->palette().color(QPalette::WindowText), Form1::staleColour());

    inventory.list = stickAs(4);
    watch.add(QStringLiteral("ttyUSB4"));
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 4);
    EXPECT_EQ(form.Combo1->currentText(), stickAs(4)[0].caption);
    EXPECT_EQ(form.windowTitle(), "kestrel — USB4");
    EXPECT_EQ(colours(), QStringList(7, "grey")) << "nothing was read yet";
    EXPECT_TRUE(voiceTick().isEmpty());

    cycle();
    EXPECT_EQ(colours(), live);
    view->Timer1_Timer();
    EXPECT_EQ(view->Label2->palette().color(QPalette::WindowText), kBlue);
    EXPECT_EQ(voiceTick().value(0), "FileName=/opt/kestrel/sound/73.MP3");
    view->close();
}

// With no stick at start, the first one plugged in is opened; a registration report without
// location greys only the location.
TEST_F(Form1StickTest, TheFirstStickPluggedInIsOpenedAndALostRegistrationGreysTheCell)
{
    Form1& form = load({});
    EXPECT_TRUE(form.TimerWatch->isActive());
    inventory.list = stickAs(2);
    QMetaObject::invokeMethod(form.TimerWatch, "timeout");
    ASSERT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 2);
    EXPECT_FALSE(form.TimerWatch->isActive());

    cycle();
    QStringList unregistered = kWholeCycle;
    unregistered.last() = QStringLiteral("\r\n+CGREG: 2,0\r\n\r\nOK\r\n");
    cycle(unregistered);
    EXPECT_EQ(form.LblLAC->text(), "6699");
    EXPECT_EQ(colours().mid(3), (QStringList{kLightBlue.name(), "grey", "grey", kBlue.name()}));
}

TEST_F(Form1StickTest, ReturnInThePortBoxOpensATypedPortAtOnce)
{
    const struct {
        const char* typed;
        qint16 port; // the port open afterwards: 3 is the stick's, which stays when nothing opens
        QString toolTip;
    } rows[] = {
        {"5", 5, ""},
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
        EXPECT_EQ(port.openCount, row.port == 3 ? 1 : 2);
        EXPECT_EQ(form.Combo1->toolTip(), row.toolTip);
    }
}

} // namespace
