#pragma once

#include "platform/levelbar/LevelPercentage.h"

#include <QColor>
#include <QWidget>

// A borderless level bar: the part of the bar up to the value's percentage is filled with a
// gradient from the start colour (left) to the end colour (right edge of the whole bar), the
// rest shows the background. The value may lie outside the range (0 after a cleared reading,
// 31 at full strength); it is kept as given and only the percentage is clamped.
class ProgressBar : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    int Min() const { return min_; }
    void setMin(int min);
    int Max() const { return max_; }
    void setMax(int max);
    int Value() const { return value_; }
    void setValue(int value);

    double Percentage() const { return levelPercentage(value_, min_, max_); }

    QColor BarColorStart() const { return barColorStart_; }
    void setBarColorStart(const QColor& colour);
    QColor BarColorEnd() const { return barColorEnd_; }
    void setBarColorEnd(const QColor& colour);
    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor& colour);

    // An optional caption drawn centred over the bar in the text colour.
    QString Text() const { return text_; }
    void setText(const QString& text);
    QColor TextColor() const { return textColor_; }
    void setTextColor(const QColor& colour);

    QSize sizeHint() const override { return {150, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    QColor barColorStart_;
    QColor barColorEnd_;
    QColor backColor_;
    QColor textColor_;
    QString text_;
};
