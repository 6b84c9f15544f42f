#pragma once

#include "kestrel/at/Conversions.h"
#include "kestrel/at/Generation.h"
#include "kestrel/at/QualityReply.h"
#include "kestrel/status/LevelBar.h"
#include "kestrel/status/LinkStatus.h"

#include <QMetaType>
#include <QString>
#include <chrono>
#include <optional>

// What the monitor knows about its stick, as one value: sent to the windows after every polling
// cycle and when the stick goes away. A value stays as the last reply that carried it left it
// (the operator's name from name cycles, the network codes from code cycles) until a reply
// changes or clears it; the stale flags tell which parts are no longer current.
struct MonitorReading {
    // The operator's name as the last name cycle read it, with the generation the stick was on
    // then; `operatorNamed` is false before the first name and after "no operator".
    bool operatorNamed = false;
    QString operatorName;
    at::Generation operatorGeneration = at::Generation::Unknown;
    // The newest generation the stick named; the colours follow it.
    at::Generation generation = at::Generation::Unknown;
    // An operator is known (a name or a code): only then is the cell identity worth saving.
    bool operatorKnown = false;
    QString mcc;
    QString mnc;
    // Location area (or tracking area) code and cell ID, in decimal, and when a registration
    // report last gave them (none before that and after "no operator"): a grey identity is
    // saved only after the user hears how old it is.
    QString lac;
    QString cellId;
    std::optional<std::chrono::steady_clock::time_point> locationReadAt;
    // The registration report's <stat> as the last one read it; none without an operator.
    std::optional<int> registration;

    // The level in dBm; none before the first level and after one was cleared.
    at::DbmLevel levelDbm;
    // The level bar's value: the strength index when an operator was known as it came, 0 after
    // a cleared level, kept otherwise.
    int barValue = LevelBarStartValue;
    // The level was read while "LEVEL PERCENTAGE " was ticked.
    bool levelInPercent = false;
    double barPercentage() const { return levelBarPercentage(barValue); }

    // A 4G or 5G stick's own figures (RSRP, SINR, RSRQ, ...), and its serving cell's band and
    // downlink channel; none until the stick gives them and after "no operator".
    at::RadioQuality quality;
    std::optional<int> band;
    std::optional<int> earfcn;
    // The stick is on 4G or 5G: its cell ID is an E-UTRAN one (eNodeB and sector) and its
    // location a tracking area.
    bool onLteOrNr() const
    {
        return generation == at::Generation::G4 || generation == at::Generation::G5;
    }
    // A 4G cell ID's parts: the eNodeB ID (its upper 20 bits) and the sector (the lower 8);
    // none off 4G and 5G or without a cell ID.
    struct LteCellParts {
        qulonglong eNodeB = 0;
        int sector = 0;
    };
    std::optional<LteCellParts> lteCellParts() const
    {
        bool numeric = false;
        const qulonglong cell = cellId.toULongLong(&numeric);
        if (!onLteOrNr() || !numeric) {
            return std::nullopt;
        }
        return LteCellParts{cell / 256, static_cast<int>(cell % 256)};
    }

    // The stick has no operator now: nothing shown may go on standing for the network it had
    // (the name, codes, cell, registration, figures and level; the bar at 0).
    void forgetOperator()
    {
        operatorNamed = false;
        operatorName.clear();
        mcc.clear();
        mnc.clear();
        lac.clear();
        cellId.clear();
        locationReadAt.reset();
        registration.reset();
        quality = {};
        band.reset();
        earfcn.reset();
        levelDbm.reset();
        barValue = 0;
    }

    // The last reply the operator or the signal query read.
    QString rawReply;

    bool operatorStale = false;
    bool levelStale = false;
    bool locationStale = false;
    bool qualityStale = false;

    LinkStatus link;
};

Q_DECLARE_METATYPE(MonitorReading)
