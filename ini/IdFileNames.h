#pragma once

#include <QString>

// The ID file that carries one cell identity from kestrel to plover: one section with five
// entries, spelled in lower case by both programs and found case-insensitively.
namespace IdFile
{
inline const QString Section = QStringLiteral("Value");
inline const QString CellId = QStringLiteral("cellid");
inline const QString Lac = QStringLiteral("lac");
inline const QString Mnc = QStringLiteral("mnc");
inline const QString Mcc = QStringLiteral("mcc");
inline const QString Operator = QStringLiteral("operator");
} // namespace IdFile
