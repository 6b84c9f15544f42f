#pragma once

#include <QString>
#include <optional>

namespace at
{

// What a stick measures of its radio beyond the level, each figure none when unknown. On LTE
// people aim by RSRP and SINR: the level of `+CSQ` counts noise and neighbours as signal.
struct RadioQuality {
    std::optional<int> rssiDbm{};
    std::optional<int> rsrpDbm{}; // LTE reference-signal power
    std::optional<double> sinrDb{};
    std::optional<double> rsrqDb{};
    std::optional<int> rscpDbm{}; // WCDMA
    std::optional<double> ecioDb{};
    // The 5G (NR) cell of a stick in non-standalone mode, beside its LTE anchor.
    std::optional<int> nrRsrpDbm{};
    std::optional<double> nrSinrDb{};
    std::optional<double> nrRsrqDb{};

    bool operator==(const RadioQuality&) const = default;
};

// The "^HCSQ:" lines of a reply (to "AT^HCSQ?", or sent unsolicited among other replies), for
// example
//   ^HCSQ:"LTE",53,45,181,18     E3372s-153: RSSI -68 dBm, RSRP -96 dBm, SINR 16.0, RSRQ -11.0 dB
//   ^HCSQ: "NR",77,236,31        5G NSA: NR RSRP -64 dBm, SINR 27.0 dB, RSRQ -4.5 dB
//   ^HCSQ:"WCDMA",44,35,47       3G: RSSI -77 dBm, RSCP -86 dBm, Ec/Io -9.0 dB
//   ^HCSQ:"GSM",40  ^HCSQ:"NOSERVICE"
// with or without a blank after the colon and quotes around the mode. Huawei's scales: RSSI and
// RSCP n-121 dBm, RSRP n-141 dBm, SINR 0.2n-20.2 dB, RSRQ 0.5n-20 dB, Ec/Io 0.5n-32.5 dB; 255
// or anything out of range is unknown. Lines are read in order: an "NR" line gives the NR
// figures, any other line replaces the rest ("NOSERVICE" all). A line without its line end
// may be cut short and is not read. None when the reply holds no whole "^HCSQ:" line.
std::optional<RadioQuality> parseHcsqReply(const QString& reply);

// The reply to "AT+CESQ" (3GPP TS 27.007), for example
//   +CESQ: 99,99,255,255,26,45             RSRQ -7.0 dB, RSRP -96 dBm
//   +CESQ: 99,99,255,255,20,50,80,100,60   and from a 5G modem NR RSRQ -3.5 dB, RSRP -57 dBm,
//                                          SINR 6.5 dB
// Fields rxlev, ber, rscp, ecno, rsrq, rsrp[, ss_rsrq, ss_rsrp, ss_sinr]: RSCP n-121 dBm,
// Ec/No 0.5n-24.5 dB, RSRQ 0.5n-20 dB, RSRP n-141 dBm, NR RSRQ 0.5n-43.5 dB, NR RSRP n-157 dBm,
// NR SINR 0.5n-23.5 dB; 255 (99 for the first two) is unknown. None without a whole line.
std::optional<RadioQuality> parseCesqReply(const QString& reply);

// The frequency report of "AT^HFREQINFO?":
//   ^HFREQINFO:0,6,1,425,21525,15000,18425,19625,15000   E3372: LTE band 1, downlink EARFCN 425
// Fields n, sysmode, band, downlink channel, downlink frequency, bandwidth, then the same for
// the uplink; the first group is the serving cell's. None without a whole line or a band.
struct FrequencyReport {
    int band = 0;
    std::optional<int> downlinkChannel;
};
std::optional<FrequencyReport> parseHfreqinfoReply(const QString& reply);

// The reply holds the word ERROR in any case ("ERROR", "+CME ERROR: 100", "error"): the stick
// refused the command.
bool refused(const QString& reply);

} // namespace at
