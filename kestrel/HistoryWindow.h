#pragma once

#include <QWidget>

class HistoryView;
class QLabel;
class QPushButton;
class SignalHistory;

// "Signal history": the level over the last ten minutes and the best level since the window
// was opened or "Reset best" was pressed. It holds nothing of its own: the main window keeps
// the history and asks it to refresh after every polling cycle.
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
