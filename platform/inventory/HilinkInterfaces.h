#pragma once

#include <QList>
#include <QString>

// A HiLink stick: a Huawei USB stick that shows up as a network card (cdc_ether, cdc_ncm,
// huawei_cdc_ncm, rndis_host) and answers a web API at its end of that link, with no AT port.
struct HilinkInterface {
    QString name;    // the network interface, "usb0"
    QString address; // where its web API answers, "192.168.8.1"
    QString plugIn;  // the stick at this plug-in, as usbPlugIn gives it: "1-2#3"

    bool operator==(const HilinkInterface&) const = default;
};

// The address at which to ask the stick behind interface `name`, from the text of
// /proc/net/route: the gateway of a route on that interface that lies within one of the
// interface's own subnets, else the first host address of its first subnet. Never an address
// outside its subnets: that request would leave through another route, away from the stick.
// "" when the interface has no subnet route (not configured yet).
QString hilinkAddress(const QString& routeText, const QString& name);

// The network interfaces under <sysfsRoot>/class/net that belong to a Huawei USB device, in
// order of name, each with its address from `routeText`; those without an address are left out.
QList<HilinkInterface> hilinkInterfaces(const QString& sysfsRoot, const QString& routeText);
