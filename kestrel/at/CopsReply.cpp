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
const char* const kSuffix4G = " (4G)";

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

// The access technologies of 3GPP TS 27.007 by generation: GSM, GSM Compact, GSM with EGPRS;
// UTRAN, with HSDPA, HSUPA, both; E-UTRAN, E-UTRAN on a 5G core; NR on a 5G core, NG-RAN,
// E-UTRA-NR dual connectivity.
struct Generation {
    QStringList technologies;
    const char* suffix;
    QColor (*colour)();
};

const Generation kGenerations[] = {
    {{"0", "1", "3"}, " (2G)", colour2G},
    {{"2", "4", "5", "6"}, " (3G)", colour3G},
    {{"7", "10"}, kSuffix4G, colour4G},
    {{"11", "12", "13"}, " (5G)", colour5G},
};

void applyTechnology(CopsOutcome& out)
{
    for (const Generation& generation : kGenerations) {
        if (generation.technologies.contains(out.state.accessTechnology)) {
            out.state.technologySuffix = QLatin1String(generation.suffix);
            out.display.technologyColour = generation.colour();
            return;
        }
    }
}

// The technology field: from `start` to the next comma or line end.
QString technologyField(const QString& line, int start)
{
    const QString rest = cut(line, start, static_cast<int>(line.size())).value_or(QString());
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != u',' && rest[end] != u'\r' && rest[end] != u'\n') {
        ++end;
    }
    return rest.left(end);
}

} // namespace

bool onLte(const CopsState& state)
{
    return state.technologySuffix == QLatin1String(kSuffix4G);
}

CopsOutcome parseCopsReply(const QString& reply, const CopsState& kept)
{
    CopsOutcome out;
    out.state = kept;
    out.display.text1 = reply;
    const std::optional<QString> found = replyLine(reply, kTag);
    if (!found) {
        return out;
    }
    const QString& line = *found;

    const int q1 = position(line, kQuote);
    const int s = position(line, kSpace);
    const int q2 = position(line, kQuote, q1 + 1);

    out.state.formatChar = cut(line, s + 3, 1).value_or(out.state.formatChar);
    out.state.operatorText = cut(line, q1 + 1, q2 - q1 - 1).value_or(out.state.operatorText);
    if (line.contains(kNoOperator)) {
        clearForNoOperator(out);
        out.reading = CopsReading::NoOperator;
    }
    // Without a pair of quotes there is no operator, and so no technology field after it.
    out.state.accessTechnology = q1 > 0 && q2 > 0 ? technologyField(line, q2 + 2) : QString();
    applyTechnology(out);

    const QString& op = out.state.operatorText;
    if (out.state.formatChar == QLatin1String("2")) {
        out.display.lblMcc = cut(op, 1, 3);
        out.display.lblMnc = cut(op, 4, 3);
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
