#include "kestrel/at/CgregReply.h"

#include "kestrel/at/Conversions.h"
#include "kestrel/at/TextCuts.h"

#include <QStringList>

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
    // A <stat> is one digit and never quoted; a <lac> has quotes or more digits.
    const QString second = raw.value(1).trimmed();
    report.solicited = second.size() == 1 && second[0] >= u'0' && second[0] <= u'9';
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

bool registered(const QString& stat)
{
    return stat == QLatin1String("1") || stat == QLatin1String("5");
}

CgregOutcome parseRegistration(const QString& reply, const QString& tag, const CgregState& kept)
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
    if (report->solicited && f.size() <= 2) {
        bool numeric = false;
        const int n = f[0].toInt(&numeric);
        if (!numeric || n < 2) {
            return out; // a reporting mode without location
        }
    }
    const QString lac = f.value(statAt + 1);
    const QString cellId = f.value(statAt + 2);
    const bool located =
        report->complete && registered(f[statAt]) && !lac.isEmpty() && !cellId.isEmpty();
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
    return parseRegistration(reply, QStringLiteral("+CGREG:"), kept);
}

CgregOutcome parseCeregReply(const QString& reply, const CgregState& kept)
{
    return parseRegistration(reply, QStringLiteral("+CEREG:"), kept);
}

} // namespace at
