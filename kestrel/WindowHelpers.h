#pragma once

#include <QColor>
#include <QPalette>
#include <QTimer>
#include <QWidget>

// Enabling a running timer leaves its interval running, as a timer's Enabled flag does; after a
// stop it starts the interval afresh.
inline void enable(QTimer* timer)
{
    if (!timer->isActive()) {
        timer->start();
    }
}

inline QColor textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

inline void setTextColour(QWidget* widget, const QColor& colour)
{
    if (textColour(widget) == colour) {
        return;
    }
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}
