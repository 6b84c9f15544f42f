#pragma once

#include <QString>

// Whether a process other than this one has the device at `path` open, as far as /proc lets
// this process see: every process when running as root, otherwise this user's. Reads only the
// names of /proc's descriptor links, which never waits on a device or a file system.
bool openedByAnotherProcess(const QString& path);
