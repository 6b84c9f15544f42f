// Prints every number the monitor can speak, one per line; the build records one file each.
#include "kestrel/voice/SpokenNumbers.h"

#include <cstdio>

int main()
{
    for (const QString& number : spokenNumbers())
        std::printf("%s\n", qPrintable(number));
    return 0;
}
