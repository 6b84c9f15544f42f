#pragma once

#include <QGuiApplication>

// The application object of one test, destroyed with it: one that outlived main() would leave
// Qt's font caches behind for the leak checker.
class GuiApp : public QGuiApplication
{
public:
    GuiApp() : QGuiApplication(argc_, argv_) {}

private:
    inline static int argc_ = 1;
    inline static char name_[] = "platform_web_tests";
    inline static char* argv_[] = {name_, nullptr};
};
