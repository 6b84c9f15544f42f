#pragma once

#include "kestrel/at/Conversions.h"

#include <QString>
#include <QWidget>

class Form1;
class HistoryView;
class QCloseEvent;
class QContextMenuEvent;
class QFrame;
class QLabel;
class QSlider;
class QTimer;

// The level as the full-screen view shows it: two blanks, then the rounded percentage of the
// level bar when `percentMode` (Check1 ticked), else the level in dBm ("  -85", "  75"); only
// the two blanks after a cleared level. No unit: the view is read from across the room.
QString fullScreenLevelText(bool percentMode, double barPercentage, at::DbmLevel levelDbm);

// The full-screen view: the operator line and the level of the main window in very large type
// on black. It holds nothing of its own; every tick of its 10 ms timer copies what the main
// window shows. The slider sets the level text's size in points.
//
// Form1 makes it on "Full screen" and deletes it on close (WA_DeleteOnClose), so each opening
// starts again with the slider at 250.
class Form2 : public QWidget
{
    Q_OBJECT
public:
    explicit Form2(const Form1& mainWindow);

    QFrame* Shape1 = nullptr;
    QSlider* Slider1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr; // operator line
    QLabel* Label2 = nullptr; // level
    QTimer* Timer1 = nullptr; // 10 ms: copies the main window's display
    // The main window's signal history below the level text, with the best level as a line;
    // shown while the "Signal history" window is open and the level text leaves room for it.
    HistoryView* TraceView = nullptr;

    // Takes the screen's size and sets the level text to the slider's size; starts Timer1.
    void Form_Load();
    // A position the user set (mouse released, or a key): the level text takes its size.
    void Slider1_Click();
    // Copies the operator line and its colour, and the level in the main window's level colour
    // (grey while stale), and places the history below the level. Only what differs is set, so
    // an unchanged display is not repainted 100 times a second.
    void Timer1_Timer();
    // The main window calls this after every polling cycle.
    void refreshHistory();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The main window's menu of aiming aids.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setLevelTextSize(int points);
    void placeTrace();

    const Form1& mainWindow_;
};
