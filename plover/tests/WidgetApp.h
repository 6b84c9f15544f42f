#pragma once

#include <QApplication>

// The one application object of a test program; the offscreen platform comes from CTest.
inline QApplication& widgetApp()
{
    static int argc = 1;
    static char name[] = "plover_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}
