#pragma once

#include "tests/support/CoreApp.h"

#include <QApplication>

// QApplication for widgets, QGuiApplication for tests that need only the GUI types.

using WidgetApp = TestApp<QApplication>;
using GuiApp = TestApp<QGuiApplication>;

// A fixture's first base, so that the application is made before the fixture's widgets and
// destroyed after them (one destroyed at exit would meet Qt's input device list already gone).
class WithApplication
{
    WidgetApp app_;
};
