#pragma once

#include <QIcon>

// The monitor's icon (four rising level bars on a dark panel): the pictures installed for the
// desktop's menu, embedded by packaging/icons (library program_icons).
QIcon kestrelIcon();
