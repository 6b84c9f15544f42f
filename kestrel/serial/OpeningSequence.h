#pragma once

#include "platform/serial/CommControl.h"

#include <QString>

// How an opening went: `failed` when any step failed, with the reason of the failure the user
// should fix first.
struct OpeningResult {
    bool failed = false;
    QString reason;
};

// The monitor's line: 128000 bit/s, no parity, 8 data bits, 1 stop bit, no handshaking, reads
// return everything received.
inline const QString monitorLineSettings = QStringLiteral("128000,N,8,1");

// Opens the port named by `portText` (a port number, or a device path), always in this order:
// port number or path, line settings, handshaking, input length, open. Every step runs even when an
// earlier one failed. A port text that is no number leaves the port number as it was and makes the
// whole opening count as failed, whatever happens to the port afterwards.
OpeningResult openPort(CommControl& port, const QString& portText);
