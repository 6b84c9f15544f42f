#pragma once

#include <QApplication>

// The command line of every test's application object.
inline int testArgc = 1;
inline char testName[] = "tests";
inline char* testArgv[] = {testName, nullptr};

// The application object of one test, destroyed with it: one that outlived main() would leave
// Qt's font caches behind for the leak checker. QApplication for widgets, QGuiApplication for
// tests that need only the GUI types.
template <class Application = QApplication> struct TestApp : Application {
    TestApp() : Application(testArgc, testArgv) {}
};

using WidgetApp = TestApp<QApplication>;
using GuiApp = TestApp<QGuiApplication>;

// A fixture's first base, so that the application is made before the fixture's widgets and
// destroyed after them (one destroyed at exit would meet Qt's input device list already gone).
class WithApplication
{
    WidgetApp app_;
};
