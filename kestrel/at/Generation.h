#pragma once

namespace at
{

// The radio generation of the network the stick is on, as its operator reply names it through
// the access technology; Unknown until a reply names one.
enum class Generation { Unknown, G2, G3, G4, G5 };

} // namespace at
