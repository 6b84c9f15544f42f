#pragma once

#include <QApplication>
#include <memory>

// The application of one test, made before the test's widgets (as a base class of its
// fixture) and destroyed after them. An application that outlived main() would leave Qt's font
// caches behind for the leak checker, and one destroyed at exit would meet Qt's input device
// list already gone.
class WithApplication
{
protected:
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
