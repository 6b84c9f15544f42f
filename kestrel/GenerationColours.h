#pragma once

#include "kestrel/at/Generation.h"

#include <QColor>

// The colours of the operator line and the level bar by the stick's generation: green for 2G,
// blue for 3G, amber for 4G and violet for 5G; the last two stand out from the first two and
// read well on the black panel. `unknown` before the stick named one.
inline QColor generationColour(at::Generation generation, const QColor& unknown)
{
    switch (generation) {
    case at::Generation::G2:
        return {0, 192, 0};
    case at::Generation::G3:
        return {0, 0, 255};
    case at::Generation::G4:
        return {255, 176, 0};
    case at::Generation::G5:
        return {200, 100, 255};
    case at::Generation::Unknown:
        break;
    }
    return unknown;
}
