#pragma once

#include "tools/modemsim/AtReply.h"
#include "tools/modemsim/ModemState.h"

#include <QByteArray>
#include <optional>

// The parts of a Huawei 4G stick (an E3372 in modem mode) that a 3G stick lacks.
namespace modemsim
{

// Turns the stick into a 4G stick on an LTE network: operator "T-Mobile" / 310260 (a
// three-digit MNC), tracking area 1A2B, E-UTRAN cell 01A2D001 (28 bits), registration fields in
// 3GPP quotes. The signal and everything else stay as they are.
void useLteStick(ModemState& state);

// The commands only a 4G stick knows: AT^SYSCFGEX (= and ?) and AT+CEREG (= and ?). nullopt for
// any other command, and for every command on a 3G stick (which then answers ERROR).
std::optional<AtReply> respondLte(ModemState& state, const QByteArray& body);

// +CEREG: 2,1,"1A2B","01A2D001",7     on LTE, n=2
// +CEREG: 2,0                         n=2 but not on LTE, or not registered; n 0 and 1 likewise
QByteArray ceregLine(const ModemState& state);
// ^SYSCFGEX:"00",3FFFFFFF,1,2,7FFFFFFFFFFFFFFF
QByteArray sysCfgExLine(const ModemState& state);

} // namespace modemsim
