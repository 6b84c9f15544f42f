#pragma once

#include <QString>

// Information lines as a modem frames its reply to a query: CR LF, the lines, CR LF, then OK.
inline QString ok(const char* lines)
{
    return QStringLiteral("\r\n%1\r\n\r\nOK\r\n").arg(QString::fromLatin1(lines));
}
