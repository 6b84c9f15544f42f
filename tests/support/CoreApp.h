#pragma once

#include <QCoreApplication>

// The command line of every test's application object.
inline int testArgc = 1;
inline char testName[] = "tests";
inline char* testArgv[] = {testName, nullptr};

// The application object of one test, destroyed with it: one that outlived main() would leave
// Qt's caches behind for the leak checker.
template <class Application = QCoreApplication> struct TestApp : Application {
    TestApp() : Application(testArgc, testArgv) {}
};

// For tests of code on Qt Core alone (event loop, timers, network), without widgets.
using CoreApp = TestApp<QCoreApplication>;
