#pragma once

#include <QApplication>
#include <QGuiApplication>

// The application object of one test, destroyed with it: one that outlived main() would leave
// Qt's font caches behind for the leak checker. QApplication for widgets, QGuiApplication for
// tests that need only the GUI types.
template <class Application = QApplication> class TestApp : public Application
{
public:
    TestApp() : Application(argc_, argv_) {}

private:
    inline static int argc_ = 1;
    inline static char name_[] = "tests";
    inline static char* argv_[] = {name_, nullptr};
};

using WidgetApp = TestApp<QApplication>;
using GuiApp = TestApp<QGuiApplication>;

// A fixture's first base, so that the application is made before the fixture's widgets and
// destroyed after them (one destroyed at exit would meet Qt's input device list already gone).
class WithApplication
{
private:
    WidgetApp app_;
};
