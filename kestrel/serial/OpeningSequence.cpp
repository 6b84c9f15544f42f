#include "kestrel/serial/OpeningSequence.h"

#include "kestrel/serial/PortText.h"

OpeningResult openPort(CommControl& port, const QString& portText)
{
    port.clearFailures();
    const bool path = isDevicePath(portText);
    const auto number = portNumberFromText(portText);
    if (path) {
        port.setDevicePath(portText);
    } else if (number) {
        port.setCommPort(*number);
    }
    port.setSettings(monitorLineSettings);
    port.setHandshaking(0);
    port.setInputLen(0);
    port.setPortOpen(true);

    // A port text that is no number is the cause to report even when port steps failed after
    // it: they ran on the old number.
    if (!number && !path) {
        return {true, QStringLiteral("\"%1\" is not a port number").arg(portText)};
    }
    if (port.anyFailed()) {
        return {true, port.lastFailure()};
    }
    return {};
}
