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

namespace
{

const NetworkMode* networkMode(const QString& comboText)
{
    for (const NetworkMode& mode : kNetworkModes) {
        if (comboText == QLatin1String(mode.entry)) {
            return &mode;
        }
    }
    return nullptr;
}

} // namespace

std::optional<QString> networkModeOutput(const QString& comboText)
{
    const NetworkMode* mode = networkMode(comboText);
    return mode ? std::optional(QString::fromLatin1(mode->command) + QChar(13)) : std::nullopt;
}

std::optional<QString> hilinkNetworkMode(const QString& comboText)
{
    const NetworkMode* mode = networkMode(comboText);
    return mode ? std::optional(QString::fromLatin1(mode->hilinkMode)) : std::nullopt;
}

} // namespace at
