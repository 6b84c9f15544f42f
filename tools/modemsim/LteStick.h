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

// Turns the stick into a 5G NSA stick: a 4G stick as above whose LTE cell has an NR cell beside it.
void useNsaStick(ModemState& state);

// The commands only a 4G stick knows: AT^SYSCFGEX (= and ?), AT+CEREG (= and ?), AT^HCSQ?,
// AT+CESQ and AT^HFREQINFO?. nullopt for any other command, and for every command on a 3G stick
// (which then answers ERROR).
std::optional<AtReply> respondLte(ModemState& state, const QByteArray& body);

// +CEREG: 2,1,"1A2B","01A2D001",7     on LTE, n=2
// +CEREG: 2,0                         n=2 but not on LTE, or not registered; n 0 and 1 likewise
QByteArray ceregLine(const ModemState& state);
// ^SYSCFGEX:"00",3FFFFFFF,1,2,7FFFFFFFFFFFFFFF
QByteArray sysCfgExLine(const ModemState& state);

// What AT^HCSQ? answers, and the unsolicited ^HCSQ report, one line per cell:
//   ^HCSQ:"LTE",48,45,181,18     RSSI, RSRP, SINR, RSRQ as Huawei steps them (255 unknown)
//   ^HCSQ:"NR",77,236,31         after it on an NSA stick: RSRP, SINR, RSRQ
//   ^HCSQ:"WCDMA",47,42,58       RSSI, RSCP, Ec/Io;  ^HCSQ:"GSM",47;  ^HCSQ:"NOSERVICE"
QList<QByteArray> hcsqLines(const ModemState& state);
// +CESQ: 99,99,255,255,18,45     on LTE: 27.007's RSRQ and RSRP steps; the 2G and 3G fields,
//                                and all of them off LTE, unknown (99 and 255)
QByteArray cesqLine(const ModemState& state);
// ^HFREQINFO:0,6,1,425,21525,15000,18425,19625,15000   on LTE; ^HFREQINFO:0,0 off LTE
QByteArray hfreqInfoLine(const ModemState& state);

} // namespace modemsim
