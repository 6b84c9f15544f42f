#include "platform/levelbar/ProgressBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

ProgressBar::ProgressBar(QWidget* parent)
    : QWidget(parent), barColorStart_(palette().color(QPalette::Highlight)),
      barColorEnd_(barColorStart_), backColor_(palette().color(QPalette::Base)),
      textColor_(palette().color(QPalette::Text))
{
}

void ProgressBar::setMin(int min)
{
    min_ = min;
    update();
}

void ProgressBar::setMax(int max)
{
    max_ = max;
    update();
}

void ProgressBar::setValue(int value)
{
    value_ = value;
    update();
}

void ProgressBar::setBarColorStart(const QColor& colour)
{
    barColorStart_ = colour;
    update();
}

void ProgressBar::setBarColorEnd(const QColor& colour)
{
    barColorEnd_ = colour;
    update();
}

void ProgressBar::setBackColor(const QColor& colour)
{
    backColor_ = colour;
    update();
}

void ProgressBar::setText(const QString& text)
{
    text_ = text;
    update();
}

void ProgressBar::setTextColor(const QColor& colour)
{
    textColor_ = colour;
    update();
}

void ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), backColor_);

    const int filled = static_cast<int>(std::lround(width() * Percentage() / 100.0));
    if (filled > 0) {
        // The gradient spans the whole bar, so a low level shows only the start colour and a
        // full bar ends in the end colour.
        QLinearGradient gradient(0, 0, width(), 0);
        gradient.setColorAt(0.0, barColorStart_);
        gradient.setColorAt(1.0, barColorEnd_);
        painter.fillRect(QRect(0, 0, filled, height()), gradient);
    }
    if (!text_.isEmpty()) {
        painter.setPen(textColor_);
        painter.drawText(rect(), Qt::AlignCenter, text_);
    }
}
