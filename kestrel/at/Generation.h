#pragma once

#include <QString>

namespace at
{

// The radio generation of the network the stick is on, as its operator reply names it through
// the access technology; Unknown until a reply names one.
enum class Generation { Unknown, G2, G3, G4, G5 };

// "2G" ... "5G"; empty for Unknown.
inline QString generationName(Generation generation)
{
    return generation == Generation::Unknown
               ? QString()
               : QString::number(static_cast<int>(generation) + 1) + QLatin1Char('G');
}

// The generation an access technology of 3GPP TS 27.007 names (as "+COPS?" gives it, and a
// HiLink stick's web API as its `mode` and `Rat`): 0, 1, 3 are 2G; 2, 4, 5, 6 are 3G; 7, 10 are
// 4G; 11, 12, 13 are 5G. The kept one for a technology it does not know.
Generation generationOf(const QString& technology, Generation kept);

} // namespace at
