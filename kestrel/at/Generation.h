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

} // namespace at
