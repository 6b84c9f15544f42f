#include "kestrel/monitor/HilinkReading.h"

#include <cmath>

namespace
{

std::optional<int> wholeDbm(const std::optional<double>& value)
{
    return value ? std::optional<int>(static_cast<int>(std::lround(*value))) : std::nullopt;
}

at::RadioQuality qualityOf(const hilink::SignalFacts& s)
{
    at::RadioQuality q;
    q.rssiDbm = wholeDbm(s.rssiDbm);
    q.rsrpDbm = wholeDbm(s.rsrpDbm);
    q.sinrDb = s.sinrDb;
    q.rsrqDb = s.rsrqDb;
    q.rscpDbm = wholeDbm(s.rscpDbm);
    q.ecioDb = s.ecioDb;
    return q;
}

} // namespace

CycleReadings takeHilinkRound(const HilinkRound& round, MonitorReading& r, bool percentMode)
{
    CycleReadings readings;
    if (round.outcome != HilinkRound::Outcome::Read) {
        return readings;
    }
    const hilink::SignalFacts& s = round.signal;
    readings.operatorRead = true;
    // The stick names no network while it searches: nothing shown may go on standing for the
    // last one.
    if (round.numeric.isEmpty() && round.operatorName.isEmpty()) {
        readings.noOperator = true;
        r.forgetOperator();
        r.operatorKnown = false;
        r.rawReply.clear();
        return readings;
    }
    const QString technology =
        s.mode ? QString::number(*s.mode) : (round.rat ? QString::number(*round.rat) : QString());
    r.generation = at::generationOf(technology, r.generation);
    r.operatorKnown = true;
    r.operatorNamed = !round.operatorName.isEmpty();
    r.operatorName = round.operatorName;
    r.operatorGeneration = r.generation;
    r.mcc = round.numeric.left(3);
    r.mnc = round.numeric.mid(3);

    readings.levelRead = true;
    r.levelInPercent = percentMode;
    if (s.rssiDbm) {
        const int index = hilink::levelIndexOfRssi(*s.rssiDbm);
        r.levelDbm = at::levelOfStrengthIndex(index);
        r.barValue = index;
    } else {
        r.levelDbm.reset();
        r.barValue = 0;
    }

    r.quality = qualityOf(s);
    readings.qualityRead = r.quality != at::RadioQuality{};
    r.band = s.band;
    r.earfcn = s.downlinkChannel;

    // An LTE cell's TAC, or a 2G or 3G cell's LAC from signal-para.
    r.lac = s.tac.isEmpty() ? round.area.lac : s.tac;
    r.cellId = s.cellId.isEmpty() ? round.area.cellId : s.cellId;
    if (r.cellId.isEmpty()) {
        r.locationReadAt.reset();
        readings.location = CycleReadings::Location::Missing;
    } else {
        r.locationReadAt = std::chrono::steady_clock::now();
        readings.location = CycleReadings::Location::Read;
    }
    r.rawReply.clear();
    return readings;
}
