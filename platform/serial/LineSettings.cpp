#include "platform/serial/LineSettings.h"

#include <QStringList>

namespace
{

std::optional<QSerialPort::Parity> parityFrom(const QString& field)
{
    const QString letter = field.trimmed().toUpper();
    if (letter == QLatin1String("N")) {
        return QSerialPort::NoParity;
    }
    if (letter == QLatin1String("E")) {
        return QSerialPort::EvenParity;
    }
    if (letter == QLatin1String("O")) {
        return QSerialPort::OddParity;
    }
    if (letter == QLatin1String("M")) {
        return QSerialPort::MarkParity;
    }
    if (letter == QLatin1String("S")) {
        return QSerialPort::SpaceParity;
    }
    return std::nullopt;
}

std::optional<QSerialPort::DataBits> dataBitsFrom(const QString& field)
{
    bool ok = false;
    const int bits = field.trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8) {
        return std::nullopt;
    }
    return static_cast<QSerialPort::DataBits>(bits);
}

// 1.5 stop bits exist on the classic UART but termios cannot express them.
std::optional<QSerialPort::StopBits> stopBitsFrom(const QString& field)
{
    const QString text = field.trimmed();
    if (text == QLatin1String("1")) {
        return QSerialPort::OneStop;
    }
    if (text == QLatin1String("2")) {
        return QSerialPort::TwoStop;
    }
    return std::nullopt;
}

} // namespace

std::optional<LineSettings> parseLineSettings(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4) {
        return std::nullopt;
    }
    bool rateOk = false;
    const qint32 rate = fields[0].trimmed().toInt(&rateOk);
    const auto parity = parityFrom(fields[1]);
    const auto dataBits = dataBitsFrom(fields[2]);
    const auto stopBits = stopBitsFrom(fields[3]);
    if (!rateOk || rate <= 0 || !parity || !dataBits || !stopBits) {
        return std::nullopt;
    }
    return LineSettings{rate, *parity, *dataBits, *stopBits};
}
