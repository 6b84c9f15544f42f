#pragma once

#include <QApplication>
#include <QInputDevice>
#include <memory>

// Widgets need one QApplication per test program; the first test that asks creates it, and it
// lives until the program ends.
inline void ensureApplication()
{
    if (!QApplication::instance()) {
        // Synthetic mouse events (QTest's) create an input device that the application owns and
        // that unregisters itself from a list Qt makes on first use. Made before the
        // application, that list outlives it at exit.
        QInputDevice::devices();
        static int argc = 1;
        static char name[] = "kestrel_window_tests";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
}

// A fixture base that gives each test its own application, made before any member widget and
// destroyed after them: one that outlived main() would leave Qt's font caches behind for the
// leak checker. Where an application exists already, that one is used.
class WithApplication
{
public:
    WithApplication()
    {
        if (!QApplication::instance()) {
            app_ = std::make_unique<QApplication>(argc_, argv_);
        }
    }

private:
    inline static int argc_ = 1;
    inline static char name_[] = "kestrel_tests";
    inline static char* argv_[] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
