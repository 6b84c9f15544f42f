#pragma once

#include "kestrel/MonitorPlatform.h"
#include "kestrel/aiming/AimingTone.h"
#include "kestrel/aiming/ReadingRecorder.h"
#include "kestrel/aiming/SignalHistory.h"
#include "kestrel/at/CgregReply.h"
#include "kestrel/at/CopsReply.h"
#include "kestrel/at/CsqReply.h"
#include "kestrel/polling/AtTransaction.h"
#include "kestrel/status/LinkStatus.h"
#include "kestrel/status/ReadingFreshness.h"
#include "platform/message/BoxMessageSink.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class HistoryWindow;
class QAction;
class QCheckBox;
class QCloseEvent;
class QContextMenuEvent;
class QMenu;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class DeviceWatch;
class Form2;
class ProgressBar;
struct DeviceEntry;

// The monitor's main window: the dark display panel with the operator, level and cell fields,
// the port and connection-type boxes, and the non-visual parts it owns (serial port, sound
// player, file dialog, timers). Controls are public and carry their names as objectName, so the
// handlers of the polling cycle, the views and the tests reach them directly.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(MonitorPlatform platform, QWidget* parent = nullptr);
    ~Form1() override;

    // Non-visual parts.
    CommControl& MSComm1;
    SoundPlayer& MMControl1;
    FileDialog& cmdOpenFile;

    // Display panel, drawn behind everything else.
    QFrame* Shape2 = nullptr;
    QFrame* Shape1 = nullptr;

    QLabel* Label5 = nullptr;
    ProgressBar* ProgressBar1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LblMCC = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* LblMNC = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LblLAC = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LblCellID = nullptr;
    QLabel* LblCOPS = nullptr;
    QLabel* LblCSQ = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Label6 = nullptr;
    QCheckBox* Check2 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* CommandSave = nullptr;
    QLabel* Label9 = nullptr;
    QComboBox* Combo2 = nullptr;
    QLabel* Label10 = nullptr;

    // Outside the visible client area.
    QPushButton* Command2 = nullptr;
    QLineEdit* Text1 = nullptr;

    QTimer* TimerPause = nullptr; // 1000 ms: retrying the port
    QTimer* Timer1 = nullptr;     // 300 ms: polling cycle
    QTimer* Timer3 = nullptr;     // 2000 ms: voice announcement
    QTimer* TimerWatch = nullptr; // 1000 ms: looks for the stick while no port is open

    // Finds the modem's port in the device inventory, shows it in Combo1 and opens it; enables
    // Timer3 at the end in every case, and TimerWatch when no port could be opened. main runs
    // it before showing the window.
    void Form_Load();
    // Stops every timer, closes the port and ends the program.
    void Form_Unload();
    // Every third tick retries the port with what Combo1 then holds.
    void TimerPause_Timer();
    // A port picked from Combo1's list: close the port, then open the picked one.
    void Combo1_Click();
    // Opens the port named in Combo1 without closing the open one first.
    void Command2_Click();
    // Return in Combo1's text: a port number (or a caption) closes the port and opens that one
    // at once; any other text changes nothing and says why in the tool tip and the title.
    void Combo1_Return();

    // While no port is open: reads the device list, and opens the stick's AT port when one
    // appeared that was not tried yet, or the pulled stick came back. Runs on every tick of
    // TimerWatch and whenever the device watch reports a new tty.
    void lookForStick();
    // The open port's device went away: closes the port, stops polling, marks every reading
    // stale and waits for the stick.
    void portLost();

    // Takes the port text from Combo1 and opens that port.
    void RUNS();
    // Opens the port named by the port text; a success starts polling (Timer1), a failure the
    // retry timer (TimerPause).
    void COMPORT();

    // The full-screen view, the voice and the ID file (Form1Actions.cpp).
    // "Full screen": loads Form2 when it is not loaded, shows it, brings it forward.
    void Command1_Click();
    // Plays the current level's recording when "LEVEL AS VOICE" is ticked.
    void Timer3_Timer();
    // "Save id": writes the cell identity labels into the ID file the user picks.
    void CommandSave_Click();
    // The full-screen view while it is loaded, else null.
    Form2* fullScreenView() const;
    // The operator as last parsed; empty while none is known, which blocks "Save id".
    const QString& operatorText() const { return cops_.operatorText; }

    // Aids for aiming an antenna (Form1Aiming.cpp), behind the context menu of this window and
    // of the full-screen view: "Aiming tone" (on or off), "Signal history" (opens its window),
    // "Record readings…" (on asks for a CSV file, off stops).
    QMenu* MenuAiming = nullptr;
    QAction* MnuTone = nullptr;
    QAction* MnuHistory = nullptr;
    QAction* MnuRecord = nullptr;
    void MnuHistory_Click();
    void MnuRecord_Click(bool on);
    HistoryWindow* historyWindow() const;
    SignalHistory& signalHistory() { return history_; }
    const SignalHistory& signalHistory() const { return history_; }
    const AimingTone& aimingTone() const { return *aimingTone_; }

    // Readings that are no longer current keep their text and are drawn in this colour.
    static QColor staleColour();
    const ReadingFreshness& freshness() const { return freshness_; }
    // The colour of the level as the full-screen view draws it: the technology's colour, or
    // the stale colour.
    QColor levelColour() const;

    // Polling cycle and network mode (Form1Polling.cpp). A cycle blocks the event loop while it
    // waits for the modem; Timer1 cannot fire into a running one.
    // A tick of Timer1 runs PCOPS.
    void Timer1_Timer();
    // Operator query; when the reply held a name or a code, switches the format and runs PCSQ.
    // Leaves Timer1 as it is.
    void PCOPS();
    // Signal query: stops Timer1, then runs PCGREG when an operator is known, else restarts it.
    void PCSQ();
    // Registration query; restarts Timer1 however it ends.
    void PCGREG();
    // An entry chosen from Combo2's list (not typed text): runs ggg.
    void Combo2_Click();
    // Sends the network-mode command of Combo2's text, stopping and restarting Timer1 around it.
    void ggg();

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    DeviceInventory& inventory_;
    const QString executableFolder_;
    DeviceWatch* const deviceWatch_; // may be null: then only TimerWatch looks for the stick
    PcmOutput* const toneOutput_;    // may be null: then the aiming tone is never heard
    BoxMessageSink boxes_{this};     // over this window, when the platform brings no messages
    MessageSink& messages_;

    void createPanel();
    void createDisplayFields();
    void createChoices();
    void createHiddenControls();
    void createTimers();
    void connectActions();
    void connectLink();

    // The port and the stick (Form1Link.cpp).
    void adoptStick(const DeviceEntry& stick);
    void showStatus();
    void updateWatch();
    LinkStatus status_;
    // The caption of the stick last opened from the device list; cleared when the list no
    // longer holds it.
    QString adoptedCaption_;

    // Draws every reading in its live colour, or grey where it is stale.
    void showFreshness();
    ReadingFreshness freshness_;
    CycleReadings cycle_;
    QColor operatorColour_; // LblCOPS's live colour: the technology's, once one is known
    QColor barColour_;      // the level bar's live colour

    // Aiming aids (Form1Aiming.cpp).
    void createAimingMenu();
    // After every polling cycle: the tone's pitch, a point of history, a line of the record.
    void aimingCycleEnded();
    void showAimingLevel();
    RecordedReading currentReading() const;
    void tell(const QString& text);
    AimingTone* aimingTone_ = nullptr;
    SignalHistory history_;
    ReadingRecorder recorder_;
    QPointer<HistoryWindow> historyWindow_;

    // Polling state (Form1Polling.cpp): reply text and read counter, and what each query keeps
    // from one cycle to the next.
    void connectListPicksAndPolling();
    void applyDisplay(const at::DisplayWrites& display);
    AtTransaction transaction_{MSComm1};
    at::CopsState cops_;
    at::CsqState csq_;
    at::CgregState cgreg_;

    // The port number as text, as cut from a caption or typed into Combo1.
    QString portText_;
    // Ticks of TimerPause since the last retry.
    int retryTicks_ = 0;

    QPointer<Form2> form2_;
};
