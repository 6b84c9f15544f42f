#pragma once

#include <QApplication>

// Widgets need one QApplication per test program; the first test that asks creates it.
inline void ensureApplication()
{
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "kestrel_window_tests";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
}

// A fixture base that makes sure the application exists before any member widget is built.
struct WithApplication {
    WithApplication() { ensureApplication(); }
};
