#include "kestrel/at/CgregReply.h"

#include "kestrel/at/Conversions.h"
#include "kestrel/at/TextCuts.h"

#include <QStringList>
#include <algorithm>

namespace at
{

namespace
{

const QString kQuote = QStringLiteral("\"");

// The fields of a report line (the text after its tag), without blanks and quotes, and whether
// it is the solicited form.
struct ReportFields {
    QStringList fields;
    bool solicited = false;
    bool complete = false; // the line ends with its line end, so its last field is whole
};

QString unquoted(const QString& field)
{
    if (field.size() >= 2 && field.startsWith(kQuote) && field.endsWith(kQuote)) {
        return field.mid(1, field.size() - 2);
    }
    return field;
}

ReportFields fieldsOf(const QString& line, const QString& tag)
{
    ReportFields report;
    const QStringList raw = line.mid(tag.size()).trimmed().split(QLatin1Char(','));
    for (const QString& field : raw) {
        report.fields << unquoted(field.trimmed());
    }
    // A <stat> is a small number, never quoted, which some modems pad with zeros ("001"); a <lac>
    // has quotes or four hex digits.
    const QString second = raw.value(1).trimmed();
    bool numeric = false;
    const int stat = second.toInt(&numeric);
    report.solicited = numeric && second.size() <= 3 && second[0].isDigit() && stat <= 11;
    report.complete = line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'));
    return report;
}

// The solicited report line, or else the first report line.
std::optional<ReportFields> findReport(const QString& reply, const QString& tag)
{
    std::optional<ReportFields> first;
    int from = 1;
    while (const std::optional<QString> line = replyLine(reply, tag, from)) {
        const ReportFields report = fieldsOf(*line, tag);
        if (report.solicited) {
            return report;
        }
        if (!first) {
            first = report;
        }
        from = position(reply, tag, from) + static_cast<int>(line->size());
    }
    return first;
}

// A location of all zeros is what some modems report while they have no cell.
bool allZeros(const QString& field)
{
    return std::all_of(field.begin(), field.end(), [](QChar c) { return c == u'0'; });
}

// Novatel's E362 writes one field more than 27.007 after the tracking area code:
//   +CEREG: 2,1, 1F00, 20 ,79D903 ,7
// told by a solicited +CEREG line of <n> 2 with six fields whose last is a technology number.
bool extraFieldAfterTac(const ReportFields& report, bool cereg)
{
    const QStringList& f = report.fields;
    bool numeric = false;
    const int act = f.value(5).toInt(&numeric);
    return cereg && report.solicited && f.size() == 6 && f[0].toInt() == 2 && numeric && act >= 0 &&
           act <= 13;
}

CgregOutcome parseRegistration(const QString& reply, const QString& tag, const CgregState& kept,
                               bool cereg)
{
    CgregOutcome out;
    out.state = kept;
    const std::optional<ReportFields> report = findReport(reply, tag);
    if (!report) {
        return out;
    }
    // A report without a new location says that the kept one is no longer current.
    out.reading = CgregReading::NoLocation;
    const QStringList& f = report->fields;
    const int statAt = report->solicited ? 1 : 0;
    bool numeric = false;
    if (const int stat = f.value(statAt).toInt(&numeric); numeric) {
        out.status = stat;
    }
    if (report->solicited && f.size() <= 2) {
        const int n = f[0].toInt(&numeric);
        if (!numeric || n < 2) {
            return out; // a reporting mode without location
        }
    }
    const QString lac = f.value(statAt + 1);
    const QString cellId = f.value(statAt + (extraFieldAfterTac(*report, cereg) ? 3 : 2));
    // The location counts whatever the status: a modem searching or registered for SMS only
    // still names the cell it sees.
    const bool located = report->complete && !lac.isEmpty() && !cellId.isEmpty() &&
                         !(allZeros(lac) && allZeros(cellId));
    if (located) {
        out.state = {lac, cellId};
    }
    out.lac = hexToDecimalText(out.state.lacText);
    out.cellId = hexToDecimalText(out.state.cellIdText);
    if (located && out.lac && out.cellId) {
        out.reading = CgregReading::Location;
    }
    return out;
}

} // namespace

CgregOutcome parseCgregReply(const QString& reply, const CgregState& kept)
{
    return parseRegistration(reply, QStringLiteral("+CGREG:"), kept, false);
}

CgregOutcome parseCeregReply(const QString& reply, const CgregState& kept)
{
    return parseRegistration(reply, QStringLiteral("+CEREG:"), kept, true);
}

} // namespace at
