#pragma once

#include <QTimer>

// Enabling a running timer leaves its interval running, as a timer's Enabled flag does; after a
// stop it starts the interval afresh.
inline void enable(QTimer* timer)
{
    if (!timer->isActive()) {
        timer->start();
    }
}
