#include "tools/modemsim/UnsolicitedLines.h"

#include "tools/modemsim/LteStick.h"

namespace modemsim
{

namespace
{
QByteArray hex(quint64 value, int width)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(width, '0');
}
} // namespace

QByteArray rssiReport(const ModemState& state)
{
    return "^RSSI:" + QByteArray::number(state.rssi);
}

QByteArray modeReport(const ModemState& state)
{
    if (!state.isRegistered())
        return "^MODE:0,0";
    return state.technology() == Technology::Gsm ? "^MODE:3,3" : "^MODE:5,4";
}

QByteArray bootReport()
{
    return "^BOOT:20952301,0,0,0,75";
}

QByteArray flowReport(const FlowCounters& c)
{
    const QByteArray qos = hex(256000, 8); // the bearer's 2 Mbit/s, in bytes/s
    return "^DSFLOWRPT:" + hex(c.seconds, 8) + ',' + hex(c.txRate, 8) + ',' + hex(c.rxRate, 8) +
           ',' + hex(c.txTotal, 16) + ',' + hex(c.rxTotal, 16) + ',' + qos + ',' + qos;
}

QByteArray framedReport(Unsolicited kind, const ModemState& state, const FlowCounters& counters)
{
    QByteArray line;
    switch (kind) {
    case Unsolicited::Rssi:
        line = rssiReport(state);
        break;
    case Unsolicited::Mode:
        line = modeReport(state);
        break;
    case Unsolicited::Boot:
        line = bootReport();
        break;
    case Unsolicited::DsFlowRpt:
        line = flowReport(counters);
        break;
    case Unsolicited::Hcsq: {
        QByteArray framed;
        for (const QByteArray& cell : hcsqLines(state))
            framed += "\r\n" + cell + "\r\n";
        return framed;
    }
    }
    return "\r\n" + line + "\r\n";
}

} // namespace modemsim
