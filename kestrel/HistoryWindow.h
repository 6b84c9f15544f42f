#pragma once

#include <QWidget>

class HistoryView;
class QLabel;
class QPushButton;
class SignalHistory;

// "Signal history": the level over the last ten minutes and the best level since the window
// was opened or "Reset best" was pressed. It holds nothing of its own: the aiming aids keep the
// history, and the main window asks it to refresh after every reading.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryWindow(SignalHistory& history, QWidget* parent = nullptr);

    HistoryView* View = nullptr;
    QLabel* LblBest = nullptr;
    QPushButton* CommandReset = nullptr;

    void refresh();

private:
    SignalHistory& history_;
};
