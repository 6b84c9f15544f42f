#pragma once

#include "kestrel/hilink/HilinkPoller.h"
#include "kestrel/monitor/MonitorReading.h"
#include "kestrel/status/ReadingFreshness.h"

// A HiLink stick's round of replies taken into the monitor's reading, so that every view shows
// it as it shows an AT stick's cycle: the operator and its codes from the current network, the
// generation from the signal's `mode` (or the network's `Rat`), the level as the strength
// index an AT stick would give for the RSSI, and the 4G figures, cell, band and channel as they
// came. A round without an operator clears what stood for the last one. Returns what the round
// read, for the freshness of each part. `percentMode` is "LEVEL PERCENTAGE " as the round finds
// it.
CycleReadings takeHilinkRound(const HilinkRound& round, MonitorReading& reading, bool percentMode);
