#include "kestrel/at/CopsReply.h"

#include "kestrel/at/TextCuts.h"

namespace at
{

namespace
{

const QString kTag = QStringLiteral("+COPS:");
const QString kNoOperator = QStringLiteral("+COPS: 0\r\n");
const QString kQuote = QStringLiteral("\"");
const QString kSpace = QStringLiteral(" ");

// Automatic operator selection with the other format: the modem then gives a name and a code
// on alternate cycles.
const QString kSwitchToName = QStringLiteral("AT+COPS=0,0");
const QString kSwitchToCode = QStringLiteral("AT+COPS=0,2");

void clearForNoOperator(CopsOutcome& out)
{
    out.state.operatorText.clear();
    DisplayWrites& d = out.display;
    d.lblCops = d.lblCsq = d.lblMcc = d.lblMnc = d.lblLac = d.lblCellId = QString();
    d.barValue = 0;
    // With no network the last level must not go on being spoken or shown as current.
    d.levelDbm = DbmLevel();
}

void applyTechnology(CopsOutcome& out)
{
    if (out.state.accessTechnology == QLatin1String("0")) {
        out.state.technologySuffix = QStringLiteral(" (2G)");
        out.display.technologyColour = colour2G();
    } else if (out.state.accessTechnology == QLatin1String("2")) {
        out.state.technologySuffix = QStringLiteral(" (3G)");
        out.display.technologyColour = colour3G();
    }
}

} // namespace

CopsOutcome parseCopsReply(const QString& reply, const CopsState& kept)
{
    CopsOutcome out;
    out.state = kept;
    out.display.text1 = reply;
    if (!reply.contains(kTag)) {
        return out;
    }

    const int q1 = position(reply, kQuote);
    const int s = position(reply, kSpace);
    const int q2 = position(reply, kQuote, q1 + 1);

    out.state.formatChar = cut(reply, s + 3, 1).value_or(out.state.formatChar);
    out.state.operatorText = cut(reply, q1 + 1, q2 - q1 - 1).value_or(out.state.operatorText);
    if (reply.contains(kNoOperator)) {
        clearForNoOperator(out);
        out.reading = CopsReading::NoOperator;
    }
    out.state.accessTechnology = cut(reply, q2 + 2, 1).value_or(out.state.accessTechnology);
    applyTechnology(out);

    const QString& op = out.state.operatorText;
    if (out.state.formatChar == QLatin1String("2")) {
        out.display.lblMcc = cut(op, 1, 3);
        out.display.lblMnc = cut(op, 4, 2);
        out.switchCommand = kSwitchToName;
        out.runPcsq = true;
        out.reading = CopsReading::Operator;
    } else if (out.state.formatChar == QLatin1String("0")) {
        out.display.lblCops = op + out.state.technologySuffix;
        out.switchCommand = kSwitchToCode;
        out.runPcsq = true;
        out.reading = CopsReading::Operator;
    }
    return out;
}

} // namespace at
