#pragma once

#include <QString>
#include <QtGlobal>

namespace modemsim
{

// Radio technology as the stick reports it in the AcT field of +COPS.
enum class Technology { Gsm = 0, Umts = 2, Lte = 7 };

// Registration status (<stat>) of +CREG and +CGREG.
namespace Registration
{
constexpr int NotRegistered = 0;
constexpr int Home = 1;
constexpr int Searching = 2;
constexpr int Denied = 3;
constexpr int Roaming = 5;
} // namespace Registration

// What a 4G stick measures of one cell, for ^HCSQ and +CESQ: RSRP in dBm, SINR and RSRQ in
// tenths of a dB, so that a scenario's "sinr 12.4" is kept as given. The defaults are what an
// E3372s-153 reported of a fair LTE cell.
struct CellQuality {
    int rsrpDbm = -96;
    int sinrTenths = 160;
    int rsrqTenths = -110;

    bool operator==(const CellQuality&) const = default;
};

// The stick's ^SYSCFG setting: mode 2 automatic, 13 GSM only, 14 WCDMA only; order 0 automatic,
// 1 GSM first, 2 WCDMA first; band a bit mask; roaming 0/1; service domain 0 CS .. 3 any.
struct SysCfg {
    int mode = 2;
    int order = 0;
    quint64 band = 0x3FFFFFFF;
    int roam = 1;
    int srvDomain = 2;

    bool operator==(const SysCfg&) const = default;
};

// Everything the stick remembers between commands. The defaults look like a real stick on the
// reserved test network (MCC 001, MNC 01) in 3G with a fair signal.
struct ModemState {
    bool hasOperator = true;
    QString operatorLong = QStringLiteral("TestNet");
    QString operatorShort = QStringLiteral("TestNet");
    QString operatorNumeric = QStringLiteral("00101");

    // The technology the network offers; ^SYSCFG may force the stick onto one of them.
    Technology networkTechnology = Technology::Umts;
    int rssi = 20; // 0..31, 99 = not known
    int ber = 99;
    int registration = Registration::Home;
    quint32 lac = 0x1A2B;
    quint32 cellId = 0x00C3D4E5;

    int copsMode = 0;   // 0 automatic
    int copsFormat = 0; // 0 long name, 1 short name, 2 numeric
    int cgregMode = 0;  // <n> of AT+CGREG=<n>
    int cregMode = 0;   // <n> of AT+CREG=<n>
    // Newer firmware quotes the location fields as 3GPP writes them; older sticks (the default
    // here) write them bare, each after a comma and a blank.
    bool quotedRegistration = false;
    bool echo = true;
    SysCfg sysCfg;

    // A 4G stick also answers ^SYSCFGEX and +CEREG (a 3G stick answers them with ERROR) and can
    // use an LTE network. Its ^SYSCFGEX acquisition order: "00" automatic, "01" GSM, "02"
    // WCDMA, "03" LTE, or several of these in order of preference ("030201").
    bool lteStick = false;
    QByteArray acquisitionOrder = "00";
    int ceregMode = 0; // <n> of AT+CEREG=<n>
    CellQuality lteQuality;
    // A 5G NSA stick is a 4G stick whose LTE cell has an NR cell beside it (E-UTRA-NR dual
    // connectivity): ^HCSQ gives an "NR" line too and +COPS gives AcT 13.
    bool nsaStick = false;
    CellQuality nrQuality{-64, 270, -45}; // a strong NR cell close by
    // Firmware without ^HCSQ answers AT^HCSQ? with ERROR, which sends a client to +CESQ.
    bool refuseHcsq = false;

    // The HiLink web API (HilinkServer): a password makes every page but the session and login
    // ones wait for a login; empty means none, as a stick whose owner switched it off. Moving
    // the epoch on makes the session the server handed out stale.
    QString hilinkPassword;
    int hilinkSessionEpoch = 0;

    // The technology the stick is on: the network's, unless ^SYSCFG or ^SYSCFGEX locks it to
    // one. A 3G stick takes an LTE network's 3G.
    Technology technology() const
    {
        if (sysCfg.mode == 13)
            return Technology::Gsm;
        if (sysCfg.mode == 14)
            return Technology::Umts;
        if (!lteStick)
            return networkTechnology == Technology::Lte ? Technology::Umts : networkTechnology;
        if (acquisitionOrder == "01")
            return Technology::Gsm;
        if (acquisitionOrder == "02")
            return Technology::Umts;
        return networkTechnology;
    }
    // The AcT field of +COPS: 27.007 gives 13 to E-UTRA-NR dual connectivity, which is what an
    // NSA stick on LTE has, and 7 to plain E-UTRAN.
    int accessTechnology() const
    {
        const Technology on = technology();
        return nsaStick && on == Technology::Lte ? 13 : static_cast<int>(on);
    }
    bool isRegistered() const
    {
        return registration == Registration::Home || registration == Registration::Roaming;
    }

    bool operator==(const ModemState&) const = default;
};

} // namespace modemsim
