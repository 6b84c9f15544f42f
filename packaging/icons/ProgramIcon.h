#pragma once

#include <QIcon>
#include <QString>

// A program's icon at every size that is installed under share/icons/hicolor: the PNGs rendered
// at build time from packaging/icons/<program>.svg and embedded under ":/icons/<program>/", so
// that the window shows the very picture the desktop's menu shows. Empty for an unknown program.
QIcon programIcon(const QString& program);
