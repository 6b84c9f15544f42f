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

QString number(const std::optional<int>& value)
{
    return value ? QString::number(*value) : QString();
}

} // namespace

QString recordHeader()
{
    return QStringLiteral("time,operator,technology,mcc,mnc,lac,cell_id,dbm,percent");
}

QString recordLine(const RecordedReading& r)
{
    const QDateTime withOffset = r.time.toOffsetFromUtc(r.time.offsetFromUtc());
    const QStringList fields{withOffset.toString(Qt::ISODate),
                             r.operatorName,
                             r.technology,
                             r.mcc,
                             r.mnc,
                             r.lac,
                             r.cellId,
                             number(r.levelDbm),
                             number(r.percent)};
    QStringList quoted;
    for (const QString& field : fields) {
        quoted << csvField(field);
    }
    return quoted.join(QLatin1Char(','));
}

bool ReadingRecorder::start(const QString& path, QString* why)
{
    stop();
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
