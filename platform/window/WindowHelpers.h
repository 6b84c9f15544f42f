#pragma once

#include "platform/window/TimerEnable.h"

#include <QColor>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QWidget>

// What the windows of both programs share: positions in twips, colours by palette role and
// timers with an Enabled flag.

// The windows are laid out in twips, 15 to a pixel at 96 dots per inch.
constexpr int pixels(int twips)
{
    return twips / 15;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

inline QPoint twipsPoint(int left, int top)
{
    return {pixels(left), pixels(top)};
}

inline void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

inline QColor textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

inline void setTextColour(QWidget* widget, const QColor& colour)
{
    if (textColour(widget) != colour) {
        setColour(widget, QPalette::WindowText, colour);
    }
}
