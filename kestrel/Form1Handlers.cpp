// The main window's handlers: each hands the user's choice to the monitor core or acts on the
// last reading; none waits for the stick.
#include "idfile/IdFile.h"
#include "ini/IdFileNames.h"
#include "kestrel/ComboBoxWatchers.h"
#include "kestrel/Form1.h"
#include "kestrel/Form1Presenter.h"
#include "kestrel/Form2.h"
#include "kestrel/HistoryWindow.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/aiming/AimingAids.h"
#include "kestrel/monitor/MonitorCore.h"
#include "kestrel/serial/PortText.h"
#include "kestrel/voice/VoicePlay.h"
#include "platform/filedialog/FileDialog.h"
#include "platform/sound/SoundPlayer.h"
#include "platform/window/WindowHelpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

Form1::~Form1()
{
    // The view has no owner but reads this window on every tick: it must not outlive it.
    delete form2_;
}

void Form1::connectHandlers()
{
    new ListPickWatcher(Combo1, [this] { Combo1_Click(); });
    new ListPickWatcher(Combo2, [this] { Combo2_Click(); });
    new ReturnKeyWatcher(Combo1, [this] { Combo1_Return(); });
    connect(Combo1, &QComboBox::editTextChanged, this,
            [this](const QString& text) { core_.setPortBoxText(text); });
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) { core_.setPercentMode(on); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(CommandSave, &QPushButton::clicked, this, [this] { CommandSave_Click(); });
    connect(Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
    connect(MnuTone, &QAction::toggled, this, [this](bool on) { MnuTone_Click(on); });
    connect(Check2, &QCheckBox::toggled, this, [this](bool on) { Check2_Click(on); });
    connect(MnuHistory, &QAction::triggered, this, [this] { MnuHistory_Click(); });
    connect(MnuRecord, &QAction::toggled, this, [this](bool on) { MnuRecord_Click(on); });
    for (const AimMeasure measure : kAimMeasures) {
        connect(MnuAimBy[static_cast<int>(measure)], &QAction::triggered, this,
                [this, measure] { MnuAimBy_Click(measure); });
    }
    connect(MnuMark, &QAction::triggered, this, [this] { MnuMark_Click(); });
    aiming_->choose(rememberedAimMeasure());
    connect(aiming_, &AimingAids::historyChanged, this, [this] {
        MnuAimBy[static_cast<int>(aiming_->measure())]->setChecked(true);
        if (historyWindow_) {
            historyWindow_->refresh();
        }
        if (form2_) {
            form2_->refreshHistory();
        }
    });
    connect(aiming_, &AimingAids::recordingFailed, this, [this](const QString& text) {
        const QSignalBlocker quiet(MnuRecord);
        MnuRecord->setChecked(false);
        tell(text);
    });
}

void Form1::connectCore()
{
    setWindowTitle(core_.title());
    connect(&core_, &MonitorCore::titleChanged, this, &QWidget::setWindowTitle);
    connect(&core_, &MonitorCore::readingReady, this, [this](const MonitorReading& reading) {
        showReading(reading);
        aiming_->take(reading);
    });
    connect(&core_, &MonitorCore::stickShown, this, [this](const QString& caption) {
        Combo1->setEditText(caption);
        // Show the caption from its start, as a text box does, not scrolled to its end.
        Combo1->lineEdit()->setCursorPosition(0);
        // A stick that comes back under the same name is listed once.
        if (Combo1->findText(caption) < 0) {
            Combo1->addItem(caption);
        }
    });
    connect(&core_, &MonitorCore::openingTold, Combo1, &QWidget::setToolTip);
    connect(&core_, &MonitorCore::networkModeTold, Combo2, &QWidget::setToolTip);
    connect(&core_, &MonitorCore::passwordWanted, this,
            [this](const QString& stick) { askPassword(stick); });
}

void Form1::askPassword(const QString& stick)
{
    auto* dialog = new QInputDialog(this);
    dialog->setObjectName(QStringLiteral("PasswordDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Password"));
    dialog->setLabelText(
        QStringLiteral("The %1 stick asks for its password (user admin):").arg(stick));
    dialog->setTextEchoMode(QLineEdit::Password);
    // The password goes to the stick and nowhere else: not remembered, not written anywhere.
    connect(dialog, &QInputDialog::textValueSelected, this,
            [this](const QString& password) { core_.logIn(password); });
    dialog->open();
}

void Form1::Form_Load()
{
    core_.load();
    enable(Timer3);
}

void Form1::Form_Unload()
{
    if (form2_) {
        form2_->close();
    }
    Timer3->stop();
    core_.finish();
    QCoreApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Form1::Combo1_Click()
{
    core_.pickPort(Combo1->currentText());
}

void Form1::Command2_Click()
{
    core_.tryPort(Combo1->currentText());
}

void Form1::Combo1_Return()
{
    const QString typed = Combo1->currentText();
    if (hilinkAddressFromBoxText(typed)) {
        Combo1_Click();
        return;
    }
    const auto portText = portTextFromBoxText(typed);
    const auto number = portText ? portNumberFromText(*portText) : std::nullopt;
    const bool path = portText && isDevicePath(*portText);
    if (!path && (!number || *number < 0)) {
        const QString note = QStringLiteral("\"%1\" is not a port number").arg(typed.trimmed());
        Combo1->setToolTip(note);
        core_.tell(note);
        return;
    }
    Combo1_Click();
}

void Form1::Combo2_Click()
{
    core_.chooseNetworkMode(Combo2->currentText());
}

void Form1::Command1_Click()
{
    if (!form2_) {
        form2_ = new Form2(*this);
        form2_->Form_Load();
    }
    // Brought forward also from the task bar.
    form2_->setWindowState(form2_->windowState() & ~Qt::WindowMinimized);
    form2_->show();
    form2_->raise();
    form2_->activateWindow();
}

Form2* Form1::fullScreenView() const
{
    return form2_;
}

void Form1::Timer3_Timer()
{
    // A level that is no longer current is not spoken.
    if (reading_.levelStale) {
        return;
    }
    voiceplay(MMControl1,
              VoiceInputs{Check2->isChecked(), Check1->isChecked(), reading_.barPercentage(),
                          at::levelDbmText(LevelDbm()), executableFolder_});
    if (Check2->isChecked()) {
        aiming_->duckTone();
    }
}

void Form1::CommandSave_Click()
{
    if (!reading_.operatorKnown) {
        return;
    }
    const QString title = QStringLiteral("kestrel");
    // A grey identity may be a cell the stick has long left (or a stick pulled out): it is saved
    // only once the user knows how old it is.
    if (reading_.operatorStale || reading_.locationStale) {
        QString question = QStringLiteral("The cell's location (LAC and cell ID) has not been "
                                          "read yet; save the cell identity anyway?");
        if (reading_.locationReadAt) {
            using namespace std::chrono;
            const auto age =
                duration_cast<seconds>(steady_clock::now() - *reading_.locationReadAt).count();
            const QString ago =
                age < 60     ? QStringLiteral("%1 s").arg(age)
                : age < 3600 ? QStringLiteral("%1 min %2 s").arg(age / 60).arg(age % 60)
                             : QStringLiteral("%1 h %2 min").arg(age / 3600).arg(age % 3600 / 60);
            question =
                QStringLiteral("The cell identity was last read %1 ago; save it anyway?").arg(ago);
        }
        if (!messages_.ask(title, question, QStringLiteral("Save Anyway"))) {
            return;
        }
    }
    pickAndSaveIdFile(cmdOpenFile,
                      {{IdFile::CellId, reading_.cellId},
                       {IdFile::Lac, reading_.lac},
                       {IdFile::Mnc, reading_.mnc},
                       {IdFile::Mcc, reading_.mcc},
                       {IdFile::Operator, operatorLine(reading_)}},
                      messages_, title);
}

void Form1::contextMenuEvent(QContextMenuEvent* event)
{
    MenuAiming->exec(event->globalPos());
}

namespace
{

const QString kNoSound = QStringLiteral("no sound output (no audio device or sound server)");

// A menu entry or tick box for sound: while it can be heard it has no complaint; ticked where
// nothing can be heard, it unticks and says why. Ticked again, it tries again.
template <class Control> bool heardOrTold(Control* control, bool heard, const QString& why)
{
    const QSignalBlocker quiet(control);
    if (!heard) {
        control->setChecked(false);
    }
    control->setToolTip(heard ? QString() : why + kNoSound);
    return heard;
}

} // namespace

void Form1::MnuTone_Click(bool on)
{
    if (!heardOrTold(MnuTone, aiming_->setToneOn(on),
                     QStringLiteral("The tone cannot be heard: "))) {
        core_.tell(QStringLiteral("aiming tone off: ") + kNoSound);
    }
}

// "LEVEL AS VOICE" is read by the voice timer.
void Form1::Check2_Click(bool on)
{
    if (!heardOrTold(Check2, !on || MMControl1.canBeHeard(),
                     QStringLiteral("The level cannot be spoken: "))) {
        core_.tell(QStringLiteral("level as voice off: ") + kNoSound);
    }
}

void Form1::MnuHistory_Click()
{
    if (!historyWindow_) {
        historyWindow_ = new HistoryWindow(aiming_->history(), this);
        // The best level counts from the window's opening.
        aiming_->history().resetBest();
        historyWindow_->refresh();
    }
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
}

HistoryWindow* Form1::historyWindow() const
{
    return historyWindow_;
}

void Form1::MnuRecord_Click(bool on)
{
    if (!on) {
        aiming_->stopRecording();
        return;
    }
    cmdOpenFile.setDefaultExt(QStringLiteral("csv"));
    cmdOpenFile.setFilter(QStringLiteral("Readings (*.csv)|*.csv"));
    cmdOpenFile.setFileName(
        QStringLiteral("kestrel-%1.csv")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm"))));
    // Asked again after a file that cannot be recorded to, until one can or the user cancels.
    for (;;) {
        cmdOpenFile.ShowSave();
        const QString path = cmdOpenFile.FileName();
        QString why;
        if (path.isEmpty()) {
            break;
        }
        if (aiming_->startRecording(path, &why)) {
            return;
        }
        tell(QStringLiteral("Cannot record readings to %1: %2").arg(path, why));
    }
    const QSignalBlocker quiet(MnuRecord);
    MnuRecord->setChecked(false);
}

namespace
{

const QString kAimByKey = QStringLiteral("aiming/aimBy");

QSettings kestrelSettings()
{
    return QSettings(QStringLiteral("kestrel"), QStringLiteral("kestrel"));
}

} // namespace

std::optional<AimMeasure> rememberedAimMeasure()
{
    const QString name = kestrelSettings().value(kAimByKey).toString();
    for (const AimMeasure measure : kAimMeasures) {
        if (aimMeasureName(measure) == name) {
            return measure;
        }
    }
    return std::nullopt;
}

void Form1::MnuAimBy_Click(AimMeasure measure)
{
    kestrelSettings().setValue(kAimByKey, aimMeasureName(measure));
    aiming_->choose(measure);
}

void Form1::MnuMark_Click()
{
    // Over the full-screen view when the mark is set from there.
    QWidget* active = QApplication::activeWindow();
    auto* dialog = new QInputDialog(active ? active : this);
    dialog->setObjectName(QStringLiteral("MarkDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Mark"));
    dialog->setLabelText(QStringLiteral(
        "Where does the antenna point? (for example \"N 30°\" or \"roof, left mast\")"));
    connect(dialog, &QInputDialog::textValueSelected, this, [this](const QString& note) {
        if (!note.trimmed().isEmpty()) {
            aiming_->mark(note.trimmed());
        }
    });
    dialog->open();
}

void Form1::tell(const QString& text)
{
    messages_.show(QStringLiteral("kestrel"), text);
}
