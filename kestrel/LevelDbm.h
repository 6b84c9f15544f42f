#pragma once

#include "kestrel/at/Conversions.h"

// The signal level in dBm, held by the program as a whole: the main window sets it from each
// reading of the monitor core, the voice and the full-screen view read it. Empty after a
// cleared reading.
at::DbmLevel& LevelDbm();
