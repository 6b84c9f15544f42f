#include "kestrel/at/Generation.h"

#include <QStringList>

namespace at
{

namespace
{

// The access technologies of 3GPP TS 27.007 by generation: GSM, GSM Compact, GSM with EGPRS;
// UTRAN, with HSDPA, HSUPA, both; E-UTRAN, E-UTRAN on a 5G core; NR on a 5G core, NG-RAN,
// E-UTRA-NR dual connectivity.
struct TechnologyGeneration {
    QStringList technologies;
    Generation generation;
};

const TechnologyGeneration kGenerations[] = {
    {{"0", "1", "3"}, Generation::G2},
    {{"2", "4", "5", "6"}, Generation::G3},
    {{"7", "10"}, Generation::G4},
    {{"11", "12", "13"}, Generation::G5},
};

} // namespace

Generation generationOf(const QString& technology, Generation kept)
{
    for (const TechnologyGeneration& entry : kGenerations) {
        if (entry.technologies.contains(technology)) {
            return entry.generation;
        }
    }
    return kept;
}

} // namespace at
