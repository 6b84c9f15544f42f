// A HiLink stick found in the device list: read as soon as it is listed, left alone (not one
// request more) once its network card is gone, read again when it comes back, and given up for
// an AT port as soon as the list holds one.
#include "kestrel/monitor/MonitorCore.h"
#include "kestrel/monitor/PortLink.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/web/tests/LocalHttpServer.h"
#include "tests/support/CoreApp.h"
#include "tests/support/WaitUntil.h"

#include <QCoreApplication>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

LocalHttpServer::Reply page(const QByteArray& xml)
{
    return {200, "text/xml", "<?xml version=\"1.0\"?><response>" + xml + "</response>", {}};
}

TEST(HilinkDiscovery, AListedStickIsReadWhileListedAndGivesWayToAnAtPort)
{
    CoreApp app;
    LocalHttpServer stick;
    stick.route("/api/webserver/SesTokInfo",
                page("<SesInfo>SessionID=s</SesInfo><TokInfo>t</TokInfo>"));
    stick.route("/api/pin/status", page("<SimState>257</SimState>"));
    stick.route("/api/device/signal", page("<rssi>-61dBm</rssi><mode>7</mode>"));
    stick.route("/api/net/current-plmn",
                page("<FullName>Telekom.de</FullName><Numeric>26201</Numeric>"));
    const QString address = QUrl(stick.base()).authority();
    const QList<DeviceEntry> hilinkListed{
        {"HUAWEI HiLink network interface (usb0)", "HiLink " + address, {}, -1, address}};

    FakeCommControl port;
    FakeDeviceInventory inventory;
    inventory.list = hilinkListed;
    MonitorCore core({port, inventory});
    core.load();
    const QString title = "kestrel — HiLink " + address;
    const auto readNow = [&] {
        return core.title() == title && core.reading().operatorName == "Telekom.de" &&
               !core.reading().operatorStale;
    };
    EXPECT_TRUE(waitUntil(readNow)) << core.title().toStdString();

    inventory.list = QList<DeviceEntry>{};
    core.link().TimerWatch_Timer();
    EXPECT_EQ(core.title(), title + ": unplugged, waiting for the stick");
    waitUntil([] { return false; }, 300); // a round under way ends
    const qsizetype asked = stick.targets.size();
    waitUntil([] { return false; }, 1000);
    EXPECT_EQ(stick.targets.size(), asked) << "asked after its network card went";

    inventory.list = hilinkListed;
    core.link().TimerWatch_Timer();
    EXPECT_TRUE(waitUntil(readNow)) << core.title().toStdString();

    inventory.list = QList<DeviceEntry>{
        {huaweiPcUiDescription, huaweiPcUiDescription + QStringLiteral(" (USB3)")}};
    core.link().TimerWatch_Timer();
    EXPECT_EQ(core.title(), "kestrel — USB3");
    EXPECT_TRUE(port.PortOpen());
}

} // namespace
