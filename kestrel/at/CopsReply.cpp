#include "kestrel/at/CopsReply.h"

#include "kestrel/at/TextCuts.h"

#include <QStringList>

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

bool isNameFormat(const QString& formatChar)
{
    return formatChar == QLatin1String("0") || formatChar == QLatin1String("1");
}

} // namespace

bool onLte(const CopsState& state)
{
    // A 5G stick in non-standalone mode (technology 13, E-UTRA-NR dual connectivity) is
    // registered through its LTE anchor.
    return state.generation == Generation::G4 || state.accessTechnology == QLatin1String("13");
}

CopsOutcome parseCopsReply(const QString& reply, const CopsState& kept)
{
    CopsOutcome out;
    out.state = kept;
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
        out.state.operatorText.clear();
        out.reading = CopsReading::NoOperator;
    }
    // Without a pair of quotes there is no operator, and so no technology field after it (a
    // closing quote is found only after an opening one).
    out.state.accessTechnology = q2 > 0 ? technologyField(line, q2 + 2) : QString();
    out.state.generation = generationOf(out.state.accessTechnology, out.state.generation);

    const QString& op = out.state.operatorText;
    if (out.state.formatChar == QLatin1String("2")) {
        out.mcc = cut(op, 1, 3);
        out.mnc = cut(op, 4, 3);
        out.switchCommand = kSwitchToName;
    } else if (isNameFormat(out.state.formatChar)) {
        out.name = op;
        out.switchCommand = kSwitchToCode;
    }
    if (out.switchCommand) {
        out.runPcsq = true;
        out.reading = CopsReading::Operator;
    }
    return out;
}

} // namespace at
