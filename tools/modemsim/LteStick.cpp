#include "tools/modemsim/LteStick.h"

#include <QList>
#include <algorithm>
#include <cctype>

namespace modemsim
{

namespace
{

constexpr quint64 kAllLteBands = 0x7FFFFFFFFFFFFFFF;

// The LTE carrier ^HFREQINFO describes: 15 MHz in band 1 (2100 MHz FDD). In band 1 (36.101)
// downlink EARFCN 0 lies at 2110 MHz and uplink EARFCN 18000 at 1920 MHz, in steps of 100 kHz.
constexpr int kBand = 1;
constexpr int kDlEarfcn = 425;
constexpr int kUlEarfcnOffset = 18000;
constexpr int kDlLowest100kHz = 21100;
constexpr int kUlLowest100kHz = 19200;
constexpr int kBandwidthKhz = 15000;

QByteArray number(int value)
{
    return QByteArray::number(value);
}

bool onLte(const ModemState& state)
{
    return state.isRegistered() && state.technology() == Technology::Lte;
}

// Huawei's ^HCSQ steps, which +CESQ shares for RSRP and RSRQ. A step is named by its lower edge,
// so a value between two edges takes the lower step; beyond the ends the end steps hold.
int rsrpStep(int dbm) // -140 dBm is 1, -44 dBm 97
{
    return std::clamp(dbm + 141, 0, 97);
}
int sinrStep(int tenths) // -20 dB is 1, 30 dB 251, in steps of 0.2 dB
{
    return std::clamp((tenths + 202) / 2, 0, 251);
}
int rsrqStep(int tenths) // -19.5 dB is 1, -3 dB 34, in steps of 0.5 dB
{
    return std::clamp((tenths + 200) / 5, 0, 34);
}

// RSRP, SINR, RSRQ: the fields of a cell that the LTE and the NR line share.
QByteArray qualityFields(const CellQuality& q)
{
    return number(rsrpStep(q.rsrpDbm)) + ',' + number(sinrStep(q.sinrTenths)) + ',' +
           number(rsrqStep(q.rsrqTenths));
}

QByteArray hex(quint64 value, int width)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(width, '0');
}

bool isHex(const QByteArray& text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool oneDigitUpTo(const QByteArray& text, char highest)
{
    return text.size() == 1 && text[0] >= '0' && text[0] <= highest;
}

// "00" alone, or one or more of "01" GSM, "02" WCDMA, "03" LTE; "99" leaves it as it is.
bool validOrder(const QByteArray& order)
{
    if (order == "00" || order == "99")
        return true;
    if (order.isEmpty() || order.size() % 2 != 0)
        return false;
    for (qsizetype i = 0; i < order.size(); i += 2) {
        const QByteArray code = order.mid(i, 2);
        if (code != "01" && code != "02" && code != "03")
            return false;
    }
    return true;
}

// AT^SYSCFGEX=<acqorder>,<band>,<roam>,<srvdomain>,<lteband>,,
// e.g. AT^SYSCFGEX="03",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,  (roam 2 and domain 4: no change)
AtReply setSysCfgEx(ModemState& state, const QByteArray& args)
{
    const QList<QByteArray> fields = args.split(',');
    if (fields.size() != 7)
        return AtReply::error();
    const QByteArray quoted = fields[0];
    const QByteArray order = quoted.mid(1, quoted.size() - 2);
    if (quoted.size() < 2 || !quoted.startsWith('"') || !quoted.endsWith('"') ||
        !validOrder(order) || !isHex(fields[1], 16) || !oneDigitUpTo(fields[2], '2') ||
        !oneDigitUpTo(fields[3], '4') || !isHex(fields[4], 16))
        return AtReply::error();
    if (order != "99") {
        state.acquisitionOrder = order;
        state.sysCfg.mode = 2; // no longer locked by ^SYSCFG
    }
    if (fields[2] != "2")
        state.sysCfg.roam = fields[2].toInt();
    if (fields[3] != "4")
        state.sysCfg.srvDomain = fields[3].toInt();
    return AtReply::ok();
}

} // namespace

void useLteStick(ModemState& state)
{
    state.lteStick = true;
    state.networkTechnology = Technology::Lte;
    state.hasOperator = true;
    state.operatorLong = QStringLiteral("T-Mobile");
    state.operatorShort = QStringLiteral("T-Mobile");
    state.operatorNumeric = QStringLiteral("310260");
    state.lac = 0x1A2B;
    state.cellId = 0x01A2D001;
    state.quotedRegistration = true;
}

void useNsaStick(ModemState& state)
{
    useLteStick(state);
    state.nsaStick = true;
}

QByteArray ceregLine(const ModemState& state)
{
    QByteArray line = "+CEREG: " + QByteArray::number(state.ceregMode);
    const bool lte = onLte(state);
    line += ',' + QByteArray::number(lte ? state.registration : Registration::NotRegistered);
    if (state.ceregMode != 2 || !lte)
        return line;
    return line + ",\"" + hex(state.lac, 4) + "\",\"" + hex(state.cellId & 0x0FFFFFFF, 8) + "\"," +
           QByteArray::number(static_cast<int>(Technology::Lte));
}

QByteArray sysCfgExLine(const ModemState& state)
{
    return "^SYSCFGEX:\"" + state.acquisitionOrder + "\"," +
           QByteArray::number(state.sysCfg.band, 16).toUpper() + ',' +
           QByteArray::number(state.sysCfg.roam) + ',' +
           QByteArray::number(state.sysCfg.srvDomain) + ',' + hex(kAllLteBands, 16);
}

QList<QByteArray> hcsqLines(const ModemState& state)
{
    if (!state.isRegistered())
        return {"^HCSQ:\"NOSERVICE\""};
    // The RSSI follows +CSQ: -113 + 2 * rssi dBm. The LTE line gives Huawei's step for it, dBm
    // plus 121; the 2G and 3G lines keep the dBm plus 120 that a 3G stick has always reported.
    const bool known = state.rssi >= 0 && state.rssi <= 31;
    const int level = known ? -113 + 2 * state.rssi + 120 : 255;
    switch (state.technology()) {
    case Technology::Gsm:
        return {"^HCSQ:\"GSM\"," + number(level)};
    case Technology::Umts:
        return {"^HCSQ:\"WCDMA\"," + number(level) + ',' + number(known ? level - 5 : 255) + ",58"};
    case Technology::Lte:
        break;
    }
    QList<QByteArray> lines{"^HCSQ:\"LTE\"," + number(known ? level + 1 : 255) + ',' +
                            qualityFields(state.lteQuality)};
    if (state.nsaStick)
        lines.append("^HCSQ:\"NR\"," + qualityFields(state.nrQuality));
    return lines;
}

QByteArray cesqLine(const ModemState& state)
{
    if (!onLte(state))
        return "+CESQ: 99,99,255,255,255,255";
    return "+CESQ: 99,99,255,255," + number(rsrqStep(state.lteQuality.rsrqTenths)) + ',' +
           number(rsrpStep(state.lteQuality.rsrpDbm));
}

QByteArray hfreqInfoLine(const ModemState& state)
{
    if (!onLte(state))
        return "^HFREQINFO:0,0";
    const int ulEarfcn = kDlEarfcn + kUlEarfcnOffset;
    const QList<int> fields = {0, // unsolicited reports off
                               6, // LTE
                               kBand,
                               kDlEarfcn,
                               kDlLowest100kHz + kDlEarfcn,
                               kBandwidthKhz,
                               ulEarfcn,
                               kUlLowest100kHz + ulEarfcn - kUlEarfcnOffset,
                               kBandwidthKhz};
    QByteArray line = "^HFREQINFO:";
    for (qsizetype i = 0; i < fields.size(); ++i)
        line += (i == 0 ? "" : ",") + number(fields[i]);
    return line;
}

std::optional<AtReply> respondLte(ModemState& state, const QByteArray& body)
{
    if (!state.lteStick)
        return std::nullopt;
    if (body == "+CEREG?")
        return AtReply::ok({ceregLine(state)});
    if (body.startsWith("+CEREG=")) {
        const QByteArray n = body.mid(7);
        if (!oneDigitUpTo(n, '2'))
            return AtReply::error();
        state.ceregMode = n.toInt();
        return AtReply::ok();
    }
    if (body == "^SYSCFGEX?")
        return AtReply::ok({sysCfgExLine(state)});
    if (body.startsWith("^SYSCFGEX="))
        return setSysCfgEx(state, body.mid(10));
    if (body == "^HCSQ?")
        return state.refuseHcsq ? AtReply::error() : AtReply::ok(hcsqLines(state));
    if (body == "+CESQ")
        return AtReply::ok({cesqLine(state)});
    if (body == "^HFREQINFO?")
        return AtReply::ok({hfreqInfoLine(state)});
    return std::nullopt;
}

} // namespace modemsim
