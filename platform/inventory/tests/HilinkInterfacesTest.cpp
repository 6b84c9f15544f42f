#include "platform/inventory/HilinkInterfaces.h"

#include <gtest/gtest.h>

namespace
{

const QString header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\n";
// usb0 on 192.168.8.0/24.
const QString usb0Subnet = "usb0\t0008A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";

TEST(HilinkAddress, GatewayWithinTheInterfacesSubnetElseItsFirstAddress)
{
    const struct {
        const char* shows;
        QString routes;
        QString address;
    } rows[] = {
        {"gateway inside",
         usb0Subnet + "usb0\t00000000\tFE08A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n",
         "192.168.8.254"},
        {"gateway outside",
         "usb0\t00000000\t0100000A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n" + usb0Subnet,
         "192.168.8.1"},
        {"no subnet", "usb0\t00000000\t0108A8C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n", ""},
        {"a host route only", "usb0\t0500000A\t00000000\t0005\t0\t0\t0\tFFFFFFFF\t0\t0\t0\n", ""},
        {"another interface's rows",
         "eth0\t0000000A\t00000000\t0001\t0\t0\t0\t000000FF\t0\t0\t0\n"
         "eth0\t00000000\t0508A8C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n" +
             usb0Subnet,
         "192.168.8.1"},
        {"malformed lines",
         "usb0\t00000000\t6408A8C0\t0003\n"
         "usb0\t00000000\t6508A8C0\t0003\t0\t0\t0\tXYZ\t0\t0\t0\n"
         "usb0\t00000000\t6608A8C0\t00G3\t0\t0\t0\t00000000\t0\t0\t0\n" +
             usb0Subnet + "usb0 \n\n",
         "192.168.8.1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shows);
        EXPECT_EQ(hilinkAddress(header + row.routes, "usb0"), row.address);
    }
}

} // namespace
