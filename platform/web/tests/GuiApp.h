#pragma once

#include <QGuiApplication>

// The one application object of a test program; the offscreen platform comes from CTest.
inline QGuiApplication& guiApp()
{
    static int argc = 1;
    static char name[] = "platform_web_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return application;
}
