#pragma once

#include "tools/modemsim/ModemState.h"

#include <QByteArray>

namespace modemsim
{

// Reports the AT port sends on its own, each framed CR LF line CR LF like any reply line.
enum class Unsolicited { Rssi, Mode, Boot, DsFlowRpt, Hcsq };
constexpr int kUnsolicitedKinds = 5;

// Traffic counters of a data session, as ^DSFLOWRPT reports them.
struct FlowCounters {
    quint32 seconds = 0;
    quint32 txRate = 0; // bytes/s
    quint32 rxRate = 0;
    quint64 txTotal = 0;
    quint64 rxTotal = 0;
};

// ^RSSI:20
QByteArray rssiReport(const ModemState& state);
// ^MODE:5,4 (WCDMA), ^MODE:3,3 (GSM with EDGE), ^MODE:0,0 (no service)
QByteArray modeReport(const ModemState& state);
// ^BOOT:20952301,0,0,0,75
QByteArray bootReport();
// ^DSFLOWRPT:0000003C,00000000,00000000,0000000000001F40,00000000000055F0,0003E800,0003E800
QByteArray flowReport(const FlowCounters& counters);

// The report of the given kind, framed. ^HCSQ (hcsqLines in LteStick.h) frames each of its lines
// on its own, as the stick reports each cell.
QByteArray framedReport(Unsolicited kind, const ModemState& state, const FlowCounters& counters);

} // namespace modemsim
