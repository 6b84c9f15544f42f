#pragma once

// Readable GoogleTest messages for Qt values: texts with their control characters spelt out,
// colours as red, green, blue.
#include <QColor>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\r':
            *os << "\\r";
            break;
        case u'\n':
            *os << "\\n";
            break;
        case u'"':
            *os << "\\\"";
            break;
        default:
            *os << QString(c).toStdString();
        }
    }
    *os << '"';
}

inline void PrintTo(const QColor& colour, std::ostream* os)
{
    *os << "rgb(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ")";
}
