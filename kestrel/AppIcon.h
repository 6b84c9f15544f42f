#pragma once

#include <QIcon>

// The monitor's icon: four rising level bars on a dark panel, drawn at the usual icon sizes.
QIcon kestrelIcon();
