#include "kestrel/at/QualityReply.h"

#include <QRegularExpression>
#include <QStringList>

namespace at
{

namespace
{

// Each whole line of `reply` that starts with `tag`, as its fields after the tag: without
// blanks and quotes.
QList<QStringList> wholeLines(const QString& reply, const QString& tag)
{
    QList<QStringList> lines;
    for (qsizetype at = reply.indexOf(tag); at >= 0; at = reply.indexOf(tag, at + 1)) {
        const qsizetype end = reply.indexOf(QRegularExpression(QStringLiteral("[\r\n]")), at);
        if (end < 0) {
            break; // cut short: the last field may lack digits
        }
        QStringList fields = reply.mid(at + tag.size(), end - at - tag.size()).split(u',');
        for (QString& field : fields) {
            field = field.trimmed().remove(u'"');
        }
        lines << fields;
    }
    return lines;
}

// The fields of the last whole line that starts with `tag`; none without one.
std::optional<QStringList> lastWholeLine(const QString& reply, const QString& tag)
{
    const QList<QStringList> lines = wholeLines(reply, tag);
    return lines.isEmpty() ? std::nullopt : std::optional<QStringList>(lines.last());
}

// Field `i` as a whole number from 0 to `highest`; anything else (255: unknown) is none.
std::optional<int> step(const QStringList& fields, qsizetype i, int highest)
{
    bool numeric = false;
    const int n = fields.value(i).toInt(&numeric);
    if (!numeric || n < 0 || n > highest) {
        return std::nullopt;
    }
    return n;
}

std::optional<int> dbm(const QStringList& fields, qsizetype i, int highest, int atZero)
{
    const std::optional<int> n = step(fields, i, highest);
    return n ? std::optional<int>(*n + atZero) : std::nullopt;
}

// Scales in tenths of a dB, so that a figure is the nearest double to its one-decimal value.
std::optional<double> db(const QStringList& fields, qsizetype i, int highest, int tenthsPerStep,
                         int tenthsAtZero)
{
    const std::optional<int> n = step(fields, i, highest);
    return n ? std::optional<double>((*n * tenthsPerStep + tenthsAtZero) / 10.0) : std::nullopt;
}

} // namespace

std::optional<RadioQuality> parseHcsqReply(const QString& reply)
{
    std::optional<RadioQuality> out;
    for (const QStringList& f : wholeLines(reply, QStringLiteral("^HCSQ:"))) {
        RadioQuality q = out.value_or(RadioQuality{});
        const QString mode = f.value(0);
        if (mode == QLatin1String("NR")) {
            q.nrRsrpDbm = dbm(f, 1, 97, -141);
            q.nrSinrDb = db(f, 2, 251, 2, -202);
            q.nrRsrqDb = db(f, 3, 34, 5, -200);
        } else {
            const RadioQuality nr = mode == QLatin1String("NOSERVICE") ? RadioQuality{} : q;
            q = RadioQuality{};
            q.nrRsrpDbm = nr.nrRsrpDbm;
            q.nrSinrDb = nr.nrSinrDb;
            q.nrRsrqDb = nr.nrRsrqDb;
            q.rssiDbm = mode == QLatin1String("NOSERVICE") ? std::nullopt : dbm(f, 1, 96, -121);
            if (mode == QLatin1String("LTE")) {
                q.rsrpDbm = dbm(f, 2, 97, -141);
                q.sinrDb = db(f, 3, 251, 2, -202);
                q.rsrqDb = db(f, 4, 34, 5, -200);
            } else if (mode == QLatin1String("WCDMA")) {
                q.rscpDbm = dbm(f, 2, 96, -121);
                q.ecioDb = db(f, 3, 65, 5, -325);
            }
        }
        out = q;
    }
    return out;
}

std::optional<RadioQuality> parseCesqReply(const QString& reply)
{
    const std::optional<QStringList> line = lastWholeLine(reply, QStringLiteral("+CESQ:"));
    if (!line) {
        return std::nullopt;
    }
    const QStringList& f = *line;
    RadioQuality q;
    q.rscpDbm = dbm(f, 2, 96, -121);
    q.ecioDb = db(f, 3, 49, 5, -245);
    q.rsrqDb = db(f, 4, 34, 5, -200);
    q.rsrpDbm = dbm(f, 5, 97, -141);
    q.nrRsrqDb = db(f, 6, 127, 5, -435);
    q.nrRsrpDbm = dbm(f, 7, 127, -157);
    q.nrSinrDb = db(f, 8, 127, 5, -235);
    return q;
}

std::optional<FrequencyReport> parseHfreqinfoReply(const QString& reply)
{
    const std::optional<QStringList> line = lastWholeLine(reply, QStringLiteral("^HFREQINFO:"));
    const std::optional<int> band = line ? step(*line, 2, 9999) : std::nullopt;
    if (!band || *band == 0) {
        return std::nullopt;
    }
    return FrequencyReport{*band, step(*line, 3, 9999999)};
}

bool refused(const QString& reply)
{
    return reply.contains(QLatin1String("error"), Qt::CaseInsensitive);
}

} // namespace at
