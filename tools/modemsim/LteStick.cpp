#include "tools/modemsim/LteStick.h"

#include <QList>
#include <cctype>

namespace modemsim
{

namespace
{

constexpr quint64 kAllLteBands = 0x7FFFFFFFFFFFFFFF;

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

QByteArray ceregLine(const ModemState& state)
{
    QByteArray line = "+CEREG: " + QByteArray::number(state.ceregMode);
    const bool onLte = state.isRegistered() && state.technology() == Technology::Lte;
    line += ',' + QByteArray::number(onLte ? state.registration : Registration::NotRegistered);
    if (state.ceregMode != 2 || !onLte)
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
    return std::nullopt;
}

} // namespace modemsim
