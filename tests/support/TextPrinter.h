#pragma once

// Readable GoogleTest messages for texts: quoted, with their control characters spelt out.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    QString shown = text;
    shown.replace('"', "\\\"").replace('\r', "\\r").replace('\n', "\\n");
    *os << '"' << shown.toStdString() << '"';
}
