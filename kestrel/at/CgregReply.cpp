#include "kestrel/at/CgregReply.h"

#include "kestrel/at/Conversions.h"
#include "kestrel/at/TextCuts.h"

namespace at
{

namespace
{

const QString kTag = QStringLiteral("+CGREG:");
// A blank and the digit 2: the reporting mode that carries the location fields.
const QString kLocationMode = QStringLiteral(" 2");
const QString kSeparator = QStringLiteral(", ");
const QString kCarriageReturn = QStringLiteral("\r");

} // namespace

CgregOutcome parseCgregReply(const QString& reply, const CgregState& kept)
{
    CgregOutcome out;
    out.state = kept;
    if (position(reply, kTag) == 0 || position(reply, kLocationMode) == 0) {
        return out;
    }
    const int s1 = position(reply, kSeparator);
    const int s2 = position(reply, kSeparator, s1 + 1);
    out.state.lacText = cut(reply, s1 + 2, s2 - s1 - 2).value_or(out.state.lacText);
    const int e = position(reply, kCarriageReturn, s2 + 1);
    out.state.cellIdText = cut(reply, s2 + 2, e - s2 - 2).value_or(out.state.cellIdText);

    out.display.lblLac = hexToDecimalText(out.state.lacText);
    out.display.lblCellId = hexToDecimalText(out.state.cellIdText);
    // Without both separators the report carried no location: the kept fields were shown again.
    const bool fieldsCut = s1 > 0 && s2 > 0;
    out.reading = fieldsCut && out.display.lblLac && out.display.lblCellId
                      ? CgregReading::Location
                      : CgregReading::NoLocation;
    return out;
}

} // namespace at
