#include "kestrel/at/CsqReply.h"

#include "kestrel/at/Conversions.h"
#include "kestrel/at/TextCuts.h"

namespace at
{

namespace
{

const QString kTag = QStringLiteral("+CSQ:");

constexpr int kLevelAtIndexZero = -113;
constexpr int kDbmPerIndexStep = 2;

void showReading(CsqOutcome& out, const CopsState& cops, bool percentMode)
{
    const std::optional<int> index = readStrengthIndex(out.state.signalText);
    const int level = index ? kLevelAtIndexZero + kDbmPerIndexStep * *index : 0;
    DisplayWrites& d = out.display;
    if (!index || level > 0) {
        d.levelDbm = DbmLevel();
        d.barValue = 0;
        d.lblCsq = QString();
        return;
    }
    d.levelDbm = DbmLevel(level);
    if (!cops.operatorText.isEmpty()) {
        d.barValue = *index;
    }
    if (percentMode) {
        d.lblCsqFromBarPercentage = true;
    } else {
        d.lblCsq = dbmCaption(level);
    }
}

} // namespace

CsqOutcome parseCsqReply(const QString& reply, const CopsState& cops, const CsqState& kept,
                         bool percentMode)
{
    CsqOutcome out;
    out.state = kept;
    out.display.text1 = reply;
    out.runPcgreg = !cops.operatorText.isEmpty();
    const std::optional<QString> line = replyLine(reply, kTag);
    if (!line) {
        return out;
    }
    const int s = position(*line, QStringLiteral(" "));
    const int c = position(*line, QStringLiteral(","));
    out.state.signalText = cut(*line, s + 1, c - s - 1).value_or(out.state.signalText);
    showReading(out, cops, percentMode);
    out.levelRead = true;
    return out;
}

} // namespace at
