#pragma once

#include <QSerialPort>
#include <QString>
#include <optional>

// Line settings written the classic way: "rate,parity,data bits,stop bits", such as
// "128000,N,8,1". Parity is one of N, E, O, M, S (either case); data bits 5 to 8; stop bits 1
// or 2. Any whole positive rate is kept: the driver decides what it makes of it.
struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    bool operator==(const LineSettings&) const = default;
};

// nullopt when the text is not four valid fields.
std::optional<LineSettings> parseLineSettings(const QString& text);
