#pragma once

#include <QApplication>

// The application object of one test, destroyed with it: one that outlived main() would leave
// Qt's font caches behind for the leak checker.
class WidgetApp : public QApplication
{
public:
    WidgetApp() : QApplication(argc_, argv_) {}

private:
    inline static int argc_ = 1;
    inline static char name_[] = "plover_tests";
    inline static char* argv_[] = {name_, nullptr};
};
