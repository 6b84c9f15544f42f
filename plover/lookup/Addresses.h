#pragma once

#include <QString>
#include <optional>

namespace lookup
{

// The two base addresses (scheme and host, and a path where the site needs one; no trailing
// slash) that precede the service's and the map's paths.
struct BaseAddresses {
    QString service;
    QString map;
};

// The ones fixed at build time (CMake cache variables PLOVER_SERVICE_BASE and PLOVER_MAP_BASE).
BaseAddresses configuredBases();

// The configured ones, each replaced by the environment variable of the same name when that is
// set and not empty (a trailing slash dropped).
BaseAddresses basesInEffect(BaseAddresses configured = configuredBases());

// The four fields of the window that a lookup reads, exactly as typed.
struct CellFields {
    QString mcc;
    QString mnc;
    QString lac;
    QString cellid;
};

// The service request for a cell: "<service base>/cellid_location/?&cellid=314&operatorid=1
// &countrycode=250&lac=78". The key "operatorid" carries the MNC and "countrycode" the MCC.
// Each field is percent-encoded, so it cannot add or change a query key; digits stay as they
// are. None when any of the four fields is empty (a field of spaces counts as filled).
std::optional<QString> lookupAddress(const QString& serviceBase, const CellFields& fields);

// The map page for a position: "<map base>/?l=map/&pt=<second>,<first>&ll=<second>,<first>&z=10".
// The service gives latitude first and longitude second; the map wants longitude first. Both
// values are percent-encoded.
QString mapAddress(const QString& mapBase, const QString& firstValue, const QString& secondValue);

// Whether an address is a well-formed http or https address with a host.
bool isWebAddress(const QString& address);

} // namespace lookup
