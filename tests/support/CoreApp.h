#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

// The command line of every test's application object.
inline int testArgc = 1;
inline char testName[] = "tests";
inline char* testArgv[] = {testName, nullptr};

// Settings the programs remember (the aiming measure, the user's place) go to a folder of the
// test's own, begun empty: tests run side by side, and none may read another's choices or the
// user's.
class PrivateSettings
{
public:
    PrivateSettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    }

private:
    QTemporaryDir folder_;
};

// The application object of one test, destroyed with it: one that outlived main() would leave
// Qt's caches behind for the leak checker.
template <class Application = QCoreApplication> struct TestApp : Application {
    TestApp() : Application(testArgc, testArgv) {}

private:
    PrivateSettings settings_;
};

// For tests of code on Qt Core alone (event loop, timers, network), without widgets.
using CoreApp = TestApp<QCoreApplication>;
