#pragma once

// Readable GoogleTest messages for Qt values: texts as tests/support prints them, colours as
// red, green, blue.
#include "tests/support/TextPrinter.h"

#include <QColor>

inline void PrintTo(const QColor& colour, std::ostream* os)
{
    *os << "rgb(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ")";
}
