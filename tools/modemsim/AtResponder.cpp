#include "tools/modemsim/AtResponder.h"

#include "tools/modemsim/LteStick.h"

#include <QList>
#include <cctype>
#include <optional>

namespace modemsim
{

namespace
{

const QByteArray kManufacturer = "huawei";
const QByteArray kModel = "E1550";
const QByteArray kRevision = "11.608.12.02.143";

// A whole decimal number, nothing else (no sign, no blanks).
std::optional<int> decimal(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    return text.toInt();
}

std::optional<int> decimalIn(const QByteArray& text, std::initializer_list<int> allowed)
{
    const auto value = decimal(text);
    if (!value)
        return std::nullopt;
    for (int a : allowed)
        if (*value == a)
            return value;
    return std::nullopt;
}

// One to sixteen hexadecimal digits, either case.
std::optional<quint64> hexMask(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 16)
        return std::nullopt;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    return text.toULongLong(nullptr, 16);
}

QByteArray hex(quint32 value, int width)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(width, '0');
}

QByteArray latin(const QString& text)
{
    return text.toLatin1();
}

// AT+COPS=<mode>[,<format>[,<oper>[,<AcT>]]]. Mode 0 (automatic) and 3 (set the format only)
// are taken; manual selection and deregistration are not offered by this stick.
AtReply setCops(ModemState& state, const QByteArray& args)
{
    const QList<QByteArray> fields = args.split(',');
    const auto mode = decimalIn(fields.value(0), {0, 1, 2, 3, 4});
    if (!mode || fields.size() > 4)
        return AtReply::error();
    std::optional<int> format;
    if (fields.size() >= 2) {
        format = decimalIn(fields[1], {0, 1, 2});
        if (!format)
            return AtReply::error();
    }
    if (*mode != 0 && *mode != 3)
        return AtReply::cme(3); // operation not allowed
    if (fields.size() > 2)
        return AtReply::cme(3);
    if (*mode == 0)
        state.copsMode = 0;
    if (format)
        state.copsFormat = *format;
    return AtReply::ok();
}

// AT^SYSCFG=<mode>,<acqorder>,<band>,<roam>,<srvdomain>, e.g. AT^SYSCFG=14,2,3fffffff,0,1.
// The "no change" values (mode 16, order 3, band 40000000, roam 2, domain 4) keep a field.
AtReply setSysCfg(ModemState& state, const QByteArray& args)
{
    const QList<QByteArray> fields = args.split(',');
    if (fields.size() != 5)
        return AtReply::error();
    const auto mode = decimalIn(fields[0], {2, 13, 14, 16});
    const auto order = decimalIn(fields[1], {0, 1, 2, 3});
    const auto band = hexMask(fields[2]);
    const auto roam = decimalIn(fields[3], {0, 1, 2});
    const auto domain = decimalIn(fields[4], {0, 1, 2, 3, 4});
    if (!mode || !order || !band || *band == 0 || !roam || !domain)
        return AtReply::error();
    SysCfg& cfg = state.sysCfg;
    if (*mode != 16)
        cfg.mode = *mode;
    if (*order != 3)
        cfg.order = *order;
    if (*band != 0x40000000)
        cfg.band = *band;
    if (*roam != 2)
        cfg.roam = *roam;
    if (*domain != 4)
        cfg.srvDomain = *domain;
    return AtReply::ok();
}

// AT+CGREG=<n> / AT+CREG=<n>, n 0 (off), 1 (status), 2 (status and location).
AtReply setRegistrationMode(int& mode, const QByteArray& args)
{
    const auto n = decimalIn(args, {0, 1, 2});
    if (!n)
        return AtReply::error();
    mode = *n;
    return AtReply::ok();
}

AtReply basicCommand(ModemState& state, const QByteArray& body)
{
    if (body.isEmpty())
        return AtReply::ok();
    if (body == "E" || body == "E0" || body == "E1") {
        state.echo = body == "E1";
        return AtReply::ok();
    }
    if (body == "I" || body == "I0")
        return AtReply::ok(
            {"Manufacturer: " + kManufacturer, "Model: " + kModel, "Revision: " + kRevision});
    return AtReply::error();
}

AtReply extendedCommand(ModemState& state, const QByteArray& body)
{
    if (body == "+CGMI" || body == "+GMI")
        return AtReply::ok({kManufacturer});
    if (body == "+CGMM" || body == "+GMM")
        return AtReply::ok({kModel});
    if (body == "+CGMR" || body == "+GMR")
        return AtReply::ok({kRevision});
    if (body == "+CSQ")
        return AtReply::ok({csqLine(state)});
    if (body == "+CSQ=?")
        return AtReply::ok({"+CSQ: (0-31,99),(0-7,99)"});
    if (body == "+COPS?")
        return AtReply::ok({copsLine(state)});
    if (body.startsWith("+COPS="))
        return setCops(state, body.mid(6));
    if (body == "+CGREG?")
        return AtReply::ok({registrationLine(state, "+CGREG", state.cgregMode)});
    if (body.startsWith("+CGREG="))
        return setRegistrationMode(state.cgregMode, body.mid(7));
    if (body == "+CREG?")
        return AtReply::ok({registrationLine(state, "+CREG", state.cregMode)});
    if (body.startsWith("+CREG="))
        return setRegistrationMode(state.cregMode, body.mid(6));
    if (body == "^SYSCFG?")
        return AtReply::ok({sysCfgLine(state)});
    if (body.startsWith("^SYSCFG="))
        return setSysCfg(state, body.mid(8));
    if (auto reply = respondLte(state, body))
        return *reply;
    return AtReply::error();
}

} // namespace

// +COPS: 0,0,"TestNet",2      long name, 3G
// +COPS: 0,2,"00101",0        numeric, 2G
// +COPS: 0                    no operator
QByteArray copsLine(const ModemState& state)
{
    QByteArray line = "+COPS: " + QByteArray::number(state.copsMode);
    if (!state.hasOperator)
        return line;
    const QString& name = state.copsFormat == 2   ? state.operatorNumeric
                          : state.copsFormat == 1 ? state.operatorShort
                                                  : state.operatorLong;
    return line + ',' + QByteArray::number(state.copsFormat) + ",\"" + latin(name) + "\"," +
           QByteArray::number(state.accessTechnology());
}

// +CSQ: 20,99
QByteArray csqLine(const ModemState& state)
{
    return "+CSQ: " + QByteArray::number(state.rssi) + ',' + QByteArray::number(state.ber);
}

// +CGREG: 2,1, 1A2B, 00C3D4E5        Huawei firmware: blank before each field, no quotes
// +CGREG: 2,1,"1A2B","00C3D4E5"      3GPP form of newer firmware
// +CGREG: 0,1                        mode 0 or 1, or not registered: mode and status only
// A 2G cell has a 16-bit ID and is written with four digits, a 3G cell with eight.
QByteArray registrationLine(const ModemState& state, const QByteArray& tag, int mode)
{
    QByteArray line =
        tag + ": " + QByteArray::number(mode) + ',' + QByteArray::number(state.registration);
    if (mode != 2 || !state.isRegistered())
        return line;
    const bool shortCell = state.technology() == Technology::Gsm && state.cellId <= 0xFFFF;
    const QByteArray lac = hex(state.lac, 4);
    const QByteArray cell = hex(state.cellId, shortCell ? 4 : 8);
    if (state.quotedRegistration)
        return line + ",\"" + lac + "\",\"" + cell + '"';
    return line + ", " + lac + ", " + cell;
}

// ^SYSCFG:2,0,3FFFFFFF,1,2
QByteArray sysCfgLine(const ModemState& state)
{
    const SysCfg& cfg = state.sysCfg;
    return "^SYSCFG:" + QByteArray::number(cfg.mode) + ',' + QByteArray::number(cfg.order) + ',' +
           QByteArray::number(cfg.band, 16).toUpper() + ',' + QByteArray::number(cfg.roam) + ',' +
           QByteArray::number(cfg.srvDomain);
}

AtReply respond(ModemState& state, const QByteArray& commandLine)
{
    const QByteArray line = commandLine.trimmed().toUpper();
    if (!line.startsWith("AT"))
        return AtReply::ignored();
    const QByteArray body = line.mid(2);
    if (body.startsWith('+') || body.startsWith('^'))
        return extendedCommand(state, body);
    return basicCommand(state, body);
}

} // namespace modemsim
