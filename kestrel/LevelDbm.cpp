#include "kestrel/LevelDbm.h"

at::DbmLevel& LevelDbm()
{
    static at::DbmLevel level;
    return level;
}
