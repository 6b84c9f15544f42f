#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace at
{

// One entry of `Combo2` and the configuration command it sends. The hex digits are lower case
// in the first two commands and upper case in the third: Huawei's firmware takes either, and
// a log of what a stick received stays comparable from one version of the monitor to the next.
// The last three are for 4G sticks: ^SYSCFGEX with the acquisition order (LTE only; LTE, then
// WCDMA, then GSM; automatic), all bands, roaming and service domain left as they are, all LTE
// bands. A 3G stick answers them with ERROR, which the next transaction reads as a leftover.
// A HiLink stick takes the same choice as the <NetworkMode> of its web API's net-mode page:
// the technologies in order of preference, 01 GSM, 02 WCDMA, 03 LTE, 00 automatic.
struct NetworkMode {
    const char* entry;
    const char* command; // without the carriage return
    const char* hilinkMode;
};

inline constexpr NetworkMode kNetworkModes[] = {
    {"3G Only", "AT^SYSCFG=14,2,3fffffff,0,1", "02"},
    {"3G Preferred", "AT^SYSCFG=2,2,3fffffff,0,1", "0201"},
    {"GPRS/EDGE Only", "AT^SYSCFG=13,1,3FFFFFFF,0,1", "01"},
    {"4G Only", "AT^SYSCFGEX=\"03\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,", "03"},
    {"4G Preferred", "AT^SYSCFGEX=\"030201\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,", "030201"},
    {"Automatic", "AT^SYSCFGEX=\"00\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,", "00"},
};

// `Combo2`'s list, in order.
QStringList networkModeEntries();

// What `ggg` writes to the port for the text of `Combo2`: the entry's command and one carriage
// return. nullopt when the text is none of the entries exactly (case counts): nothing is sent and
// Timer1 is left alone.
std::optional<QString> networkModeOutput(const QString& comboText);

// The <NetworkMode> a HiLink stick is sent for the text of `Combo2` ("0201" for "3G
// Preferred"); nullopt, as above, for any other text.
std::optional<QString> hilinkNetworkMode(const QString& comboText);

} // namespace at
