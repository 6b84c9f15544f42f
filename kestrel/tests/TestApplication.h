#pragma once

#include <QApplication>
#include <QInputDevice>

// Widgets need one QApplication per test program; the first test that asks creates it.
inline void ensureApplication()
{
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "kestrel_window_tests";
        static char* argv[] = {name, nullptr};
        // Qt's list of input devices must outlive the application, whose devices leave it on
        // destruction; made first, it is destroyed last at exit. Key and mouse events made by
        // tests otherwise create it later and the program crashes on the way out.
        QInputDevice::devices();
        static QApplication app(argc, argv);
    }
}

// A fixture base that makes sure the application exists before any member widget is built.
struct WithApplication {
    WithApplication() { ensureApplication(); }
};
