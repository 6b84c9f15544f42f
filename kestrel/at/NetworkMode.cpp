#include "kestrel/at/NetworkMode.h"

namespace at
{

QStringList networkModeEntries()
{
    QStringList entries;
    for (const NetworkMode& mode : kNetworkModes) {
        entries << QString::fromLatin1(mode.entry);
    }
    return entries;
}

std::optional<QString> networkModeOutput(const QString& comboText)
{
    for (const NetworkMode& mode : kNetworkModes) {
        if (comboText == QLatin1String(mode.entry)) {
            return QString::fromLatin1(mode.command) + QChar(13);
        }
    }
    return std::nullopt;
}

} // namespace at
