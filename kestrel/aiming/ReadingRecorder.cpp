#include "kestrel/aiming/ReadingRecorder.h"

#include <QStringList>

namespace
{

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

template <class Whole> QString number(const std::optional<Whole>& value)
{
    return value ? QString::number(*value) : QString();
}

QString oneDecimal(const std::optional<double>& value)
{
    return value ? QString::number(*value, 'f', 1) : QString();
}

} // namespace

QString recordHeader()
{
    return QStringLiteral("time,operator,technology,mcc,mnc,lac,cell_id,dbm,percent,rsrp_dbm,"
                          "rsrq_db,sinr_db,rscp_dbm,ecio_db,nr_rsrp_dbm,nr_rsrq_db,nr_sinr_db,"
                          "enb_id,sector,band,earfcn,note");
}

QString recordLine(const RecordedReading& r)
{
    const QDateTime withOffset = r.time.toOffsetFromUtc(r.time.offsetFromUtc());
    const at::RadioQuality& q = r.quality;
    const QStringList fields{withOffset.toString(Qt::ISODateWithMs),
                             r.operatorName,
                             r.technology,
                             r.mcc,
                             r.mnc,
                             r.lac,
                             r.cellId,
                             number(r.levelDbm),
                             number(r.percent),
                             number(q.rsrpDbm),
                             oneDecimal(q.rsrqDb),
                             oneDecimal(q.sinrDb),
                             number(q.rscpDbm),
                             oneDecimal(q.ecioDb),
                             number(q.nrRsrpDbm),
                             oneDecimal(q.nrRsrqDb),
                             oneDecimal(q.nrSinrDb),
                             number(r.eNodeB),
                             number(r.sector),
                             number(r.band),
                             number(r.earfcn),
                             r.note};
    QStringList quoted;
    for (const QString& field : fields) {
        quoted << csvField(field);
    }
    return quoted.join(QLatin1Char(','));
}

bool ReadingRecorder::start(const QString& path, QString* why)
{
    stop();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() > 0 &&
        existing.readLine(4096).trimmed() != recordHeader().toUtf8()) {
        *why = QStringLiteral("it holds a record with other columns (from another version of "
                              "kestrel); choose another file");
        return false;
    }
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *why = file_.errorString();
        return false;
    }
    if (file_.size() == 0 && !writeLine(recordHeader())) {
        *why = file_.errorString();
        stop();
        return false;
    }
    return true;
}

void ReadingRecorder::stop()
{
    if (file_.isOpen()) {
        file_.close();
    }
}

std::optional<QString> ReadingRecorder::record(const RecordedReading& reading)
{
    if (!isRecording()) {
        return std::nullopt;
    }
    if (writeLine(recordLine(reading))) {
        return std::nullopt;
    }
    const QString why = file_.errorString();
    stop();
    return why;
}

bool ReadingRecorder::writeLine(const QString& line)
{
    const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
    return file_.write(bytes) == bytes.size() && file_.flush();
}
