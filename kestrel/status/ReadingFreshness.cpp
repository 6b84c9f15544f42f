#include "kestrel/status/ReadingFreshness.h"

#include <algorithm>

void ReadingFreshness::count(int& misses, bool read)
{
    // Capped, so that a monitor left running for years cannot overflow.
    misses = read ? 0 : std::min(misses + 1, kStaleAfterCycles);
}

void ReadingFreshness::cycleEnded(const CycleReadings& readings)
{
    // "No operator" clears the operator, level and location fields: what they show (nothing)
    // is current.
    const bool levelRead = readings.levelRead || readings.noOperator;
    const bool locationRead =
        readings.location != CycleReadings::Location::NotRead || readings.noOperator;
    count(operatorMisses_, readings.operatorRead);
    count(levelMisses_, levelRead);
    count(locationMisses_, locationRead);
    count(qualityMisses_, readings.qualityRead || readings.noOperator);
    if (locationRead) {
        locationMissing_ =
            !readings.noOperator && readings.location == CycleReadings::Location::Missing;
    }
    count(silentCycles_, readings.operatorRead || readings.levelRead);
}

void ReadingFreshness::deviceLost()
{
    operatorMisses_ = levelMisses_ = locationMisses_ = qualityMisses_ = kStaleAfterCycles;
}

void ReadingFreshness::portOpened()
{
    silentCycles_ = 0;
}
