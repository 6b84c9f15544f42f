#pragma once

#include "kestrel/aiming/AimMeasure.h"
#include "kestrel/monitor/MonitorReading.h"
#include "platform/message/BoxMessageSink.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class AimingAids;
class FileDialog;
class Form2;
class HistoryWindow;
class MessageSink;
class MonitorCore;
class PcmOutput;
class ProgressBar;
class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QContextMenuEvent;
class QFrame;
class QLabel;
struct Form1Captions;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class SoundPlayer;

// What the main window talks to besides the monitor core, handed in by main (or a test).
struct WindowPlatform {
    SoundPlayer& MMControl1;
    FileDialog& cmdOpenFile;
    QString executableFolder;
    // Plays the aiming tone; optional.
    PcmOutput* toneOutput = nullptr;
    // The questions and failures of "Save id" and of recording readings; optional, message
    // boxes over the window by default.
    MessageSink* messages = nullptr;
};

// The monitor's main window: the dark display panel with the operator, level and cell fields,
// the port and connection-type boxes, the buttons, and the voice timer. It shows the readings
// the monitor core sends and hands the user's choices to the core; it never waits for the
// stick. Controls are public and carry their names as objectName.
// The measure the user chose to aim by, as remembered from an earlier run; none before a choice.
std::optional<AimMeasure> rememberedAimMeasure();

class Form1 : public QWidget
{
    Q_OBJECT
public:
    Form1(MonitorCore& core, WindowPlatform platform, QWidget* parent = nullptr);
    ~Form1() override;

    MonitorCore& core() const { return core_; }

    // Non-visual parts.
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
    // A 4G or 5G stick's figures beside the level, and the line below the controls that the
    // window grows by for its cell (eNodeB, sector, band); hidden on 2G and 3G.
    QLabel* LblQuality = nullptr;
    QLabel* LblLteCell = nullptr;
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

    QTimer* Timer3 = nullptr; // 2000 ms: voice announcement

    // Aids for aiming an antenna, behind the context menu of this window and of the full-screen
    // view: "Aiming tone" (on or off), "Signal history" (opens its window), "Record readings…"
    // (on asks for a CSV file, off stops).
    // Then "Aim by" (the level, RSRP or SINR: what the tone and the traces follow; the user's
    // choice is remembered) and "Mark…" (also the M key in both windows): a note on where the
    // antenna points, for the record and the history.
    QMenu* MenuAiming = nullptr;
    QAction* MnuTone = nullptr;
    QAction* MnuHistory = nullptr;
    QAction* MnuRecord = nullptr;
    QMenu* MenuAimBy = nullptr;
    QAction* MnuAimBy[3] = {}; // in the order of kAimMeasures
    QAction* MnuMark = nullptr;

    // Handlers (Form1Handlers.cpp).
    // Asks the core to find the stick and open its port; enables Timer3. main runs it before
    // showing the window.
    void Form_Load();
    // Closes the full-screen view, ends the core (closing the port) and the program.
    void Form_Unload();
    // A port picked from Combo1's list: the core closes the port, then opens the picked one.
    void Combo1_Click();
    // Opens the port named in Combo1 without closing the open one first.
    void Command2_Click();
    // Return in Combo1's text: a port number, a device path (or a caption) is opened at once, like
    // a pick; any other text changes nothing and says why in the tool tip and the title.
    void Combo1_Return();
    // An entry chosen from Combo2's list (not typed text): the core sends its command.
    void Combo2_Click();
    // "Full screen": loads Form2 when it is not loaded, shows it, brings it forward.
    void Command1_Click();
    // Plays the current level's recording when "LEVEL AS VOICE" is ticked.
    void Timer3_Timer();
    // "Save id": writes the cell identity of the last reading into the ID file the user picks.
    void CommandSave_Click();
    void MnuTone_Click(bool on);
    void Check2_Click(bool on);
    void MnuHistory_Click();
    void MnuRecord_Click(bool on);
    void MnuAimBy_Click(AimMeasure measure);
    void MnuMark_Click();

    // Shows a reading of the core (Form1Presenter.cpp): captions, colours, the bar, LevelDbm.
    void showReading(const MonitorReading& reading);
    const MonitorReading& reading() const { return reading_; }

    // The full-screen view and the history window while they are open, else null.
    Form2* fullScreenView() const;
    HistoryWindow* historyWindow() const;
    const AimingAids& aimingAids() const { return *aiming_; }
    AimingAids& aimingAids() { return *aiming_; }

    // Readings that are no longer current keep their text and are drawn in this colour.
    static QColor staleColour();
    // The colour of the level as the full-screen view draws it: the operator line's, or the
    // stale colour.
    QColor levelColour() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    static constexpr int kDesignHeight = 220; // 3300 twips
    static constexpr int kLteLineHeight = 20;

    void createPanel();
    void createDisplayFields();
    void createChoices();
    void createHiddenControls();
    void createAimingMenu();
    void connectHandlers();
    void connectCore();
    void tell(const QString& text);
    // A HiLink stick wants its user's password: asks for it without holding up the window.
    void askPassword(const QString& stick);
    void showLteParts(const Form1Captions& c);

    MonitorCore& core_;
    const QString executableFolder_;
    BoxMessageSink boxes_{this}; // over this window, when the platform brings no messages
    MessageSink& messages_;
    AimingAids* aiming_ = nullptr;
    MonitorReading reading_;
    QPointer<Form2> form2_;
    QPointer<HistoryWindow> historyWindow_;
};
