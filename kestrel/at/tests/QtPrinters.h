#pragma once

// Readable GoogleTest messages for Qt values: texts with their control characters spelt out,
// colours as red, green, blue.
#include <QColor>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    QString shown = text;
    shown.replace('"', "\\\"").replace('\r', "\\r").replace('\n', "\\n");
    *os << '"' << shown.toStdString() << '"';
}

inline void PrintTo(const QColor& colour, std::ostream* os)
{
    *os << "rgb(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ")";
}
