#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

// Runs the event loop until `done` holds or `limitMs` has passed; returns whether it holds.
// The limit only bounds a test that is going wrong; passing tests return as soon as they can.
inline bool waitUntil(const std::function<bool()>& done, int limitMs = 5000)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}
