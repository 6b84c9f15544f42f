#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace at
{

// One entry of `Combo2` and the configuration command it sends. The hex digits are lower case
// in the first two commands and upper case in the third, as the modem has always been sent them.
struct NetworkMode {
    const char* entry;
    const char* command; // without the carriage return
};

inline constexpr NetworkMode kNetworkModes[] = {
    {"3G Only", "AT^SYSCFG=14,2,3fffffff,0,1"},
    {"3G Preferred", "AT^SYSCFG=2,2,3fffffff,0,1"},
    {"GPRS/EDGE Only", "AT^SYSCFG=13,1,3FFFFFFF,0,1"},
};

// `Combo2`'s list, in order.
QStringList networkModeEntries();

// What `ggg` writes to the port for the text of `Combo2`: the entry's command and one carriage
// return. nullopt when the text is none of the entries exactly (case counts): nothing is sent and
// Timer1 is left alone.
std::optional<QString> networkModeOutput(const QString& comboText);

} // namespace at
