#include "kestrel/AppIcon.h"

#include "packaging/icons/ProgramIcon.h"

QIcon kestrelIcon()
{
    return programIcon(QStringLiteral("kestrel"));
}
