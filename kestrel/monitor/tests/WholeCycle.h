#pragma once

#include <QStringList>

// The replies of one whole polling cycle of a 3G stick ("Mobile Net", index 20, LAC 1A2B, cell
// 00C3D4E5), in the order the commands go out.
inline const QStringList kWholeCycle{
    QStringLiteral("\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n"),
    QStringLiteral("\r\nOK\r\n"),
    QStringLiteral("\r\n+CSQ: 20,99\r\n\r\nOK\r\n"),
    QStringLiteral("\r\nOK\r\n"),
    QStringLiteral("\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n"),
};
