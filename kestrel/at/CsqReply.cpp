#include "kestrel/at/CsqReply.h"

#include "kestrel/at/TextCuts.h"

namespace at
{

namespace
{

const QString kTag = QStringLiteral("+CSQ:");

} // namespace

CsqOutcome parseCsqReply(const QString& reply, const CsqState& kept)
{
    CsqOutcome out;
    out.state = kept;
    const std::optional<QString> line = replyLine(reply, kTag);
    if (!line) {
        return out;
    }
    const int s = position(*line, QStringLiteral(" "));
    const int c = position(*line, QStringLiteral(","));
    out.state.signalText = cut(*line, s + 1, c - s - 1).value_or(out.state.signalText);
    out.levelRead = true;
    // An index that gives a level above 0 dBm (99: nothing measured) is no level.
    if (const std::optional<int> index = readStrengthIndex(out.state.signalText)) {
        const int level = levelOfStrengthIndex(*index);
        if (level <= 0) {
            out.index = index;
            out.levelDbm = level;
        }
    }
    return out;
}

} // namespace at
