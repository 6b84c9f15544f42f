#pragma once

#include <QWidget>

class SignalHistory;

// Draws a signal history: the measure aimed by over the last ten minutes in each point's
// technology colour (gaps where there was no value), its unit up the side, the user's marks and
// the cell changes as ticks, and the best value as a dashed line with its value and time. Painted
// by hand rather than with Qt Charts: the same few lines serve a small window and a full-screen
// view, repaint cheaply once per polling cycle, and need no further library.
class HistoryView : public QWidget
{
public:
    explicit HistoryView(const SignalHistory& history, QWidget* parent = nullptr);

    // Line width and text size grow for the full-screen view, read from across a room.
    void setScale(int scale);

    QSize sizeHint() const override { return {600, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SignalHistory& history_;
    int scale_ = 1;
};

// The caption of the best value, such as "best -61 dBm at 14:03:27" or "best SINR 16.0 dB at
// 14:03:27, N 30°, cell 27447297" (the mark in force then and the cell); empty without one.
QString bestCaption(const SignalHistory& history);
