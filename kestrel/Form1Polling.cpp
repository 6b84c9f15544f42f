// Form1's polling cycle (PCOPS -> PCSQ -> PCGREG on Timer1), the network-mode command and the
// list picks of its two boxes. The queries and reply steps live in kestrel/polling and
// kestrel/at; here their outcomes are written into the controls.
#include "kestrel/Form1.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/at/NetworkMode.h"
#include "kestrel/polling/Queries.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/window/WindowHelpers.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <functional>

namespace
{

// Calls `onPick` when an entry is chosen from the box's drop-down list, by mouse or by keyboard
// in the open list. QComboBox::activated alone cannot tell that apart: in an editable box it
// also fires when typed text that equals an entry is confirmed with Return or left by moving
// the focus, and for arrow keys or the wheel on the closed box.
//
// The watcher sees each event before the box does. A release or Return in the open list arms
// it, and the box emits activated while it handles that same event. Every other source of
// activated starts with a key press, a focus loss or a wheel turn at the box or its edit field,
// which disarms it first.
class ListPickWatcher : public QObject
{
public:
    ListPickWatcher(QComboBox* box, std::function<void()> onPick)
        : QObject(box), onPick_(std::move(onPick))
    {
        for (QObject* target :
             {static_cast<QObject*>(box->view()), static_cast<QObject*>(box->view()->viewport())}) {
            target->installEventFilter(this);
            listParts_ << target;
        }
        for (QObject* target :
             {static_cast<QObject*>(box), static_cast<QObject*>(box->lineEdit())}) {
            if (target) {
                target->installEventFilter(this);
            }
        }
        connect(box, &QComboBox::activated, this, [this] {
            if (armed_) {
                armed_ = false;
                onPick_();
            }
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (listParts_.contains(watched)) {
            if (isListPick(event)) {
                armed_ = true;
            }
        } else if (isTypingOrStepping(event)) {
            armed_ = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The open list takes Return already at the shortcut check that precedes the key press.
    static int keyOf(const QEvent* event)
    {
        const bool keyEvent =
            event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
        return keyEvent ? static_cast<const QKeyEvent*>(event)->key() : 0;
    }
    static bool isListPick(const QEvent* event)
    {
        const int key = keyOf(event);
        return event->type() == QEvent::MouseButtonRelease || key == Qt::Key_Return ||
               key == Qt::Key_Enter || key == Qt::Key_Select;
    }
    static bool isTypingOrStepping(const QEvent* event)
    {
        return event->type() == QEvent::KeyPress || event->type() == QEvent::FocusOut ||
               event->type() == QEvent::Wheel;
    }

    std::function<void()> onPick_;
    QObjectList listParts_;
    bool armed_ = false;
};

} // namespace

void Form1::connectListPicksAndPolling()
{
    new ListPickWatcher(Combo1, [this] { Combo1_Click(); });
    new ListPickWatcher(Combo2, [this] { Combo2_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void Form1::Timer1_Timer()
{
    cycle_ = {};
    PCOPS();
    if (MSComm1.deviceLost()) {
        portLost();
        return;
    }
    freshness_.cycleEnded(cycle_);
    showFreshness();
    showStatus();
    aimingCycleEnded();
}

// Every set field is written, an unset one leaves its control alone. The bar's value goes
// before the percentage caption, which reads the bar.
void Form1::applyDisplay(const at::DisplayWrites& display)
{
    const std::pair<const std::optional<QString>&, QLabel*> labels[] = {
        {display.lblCops, LblCOPS}, {display.lblMcc, LblMCC},       {display.lblMnc, LblMNC},
        {display.lblLac, LblLAC},   {display.lblCellId, LblCellID},
    };
    for (const auto& [text, label] : labels) {
        if (text) {
            label->setText(*text);
        }
    }
    if (display.text1) {
        Text1->setText(*display.text1);
    }
    if (display.technologyColour) {
        operatorColour_ = barColour_ = *display.technologyColour;
    }
    if (display.barValue) {
        ProgressBar1->setValue(*display.barValue);
    }
    if (display.lblCsq) {
        LblCSQ->setText(*display.lblCsq);
    }
    if (display.lblCsqFromBarPercentage) {
        LblCSQ->setText(at::percentCaption(ProgressBar1->Percentage()));
    }
    if (display.levelDbm) {
        LevelDbm() = *display.levelDbm;
    }
    showFreshness();
}

void Form1::PCOPS()
{
    const at::CopsOutcome out = queryOperator(transaction_, cops_);
    cops_ = out.state;
    cycle_.operatorRead = out.reading != at::CopsReading::Unreadable;
    cycle_.noOperator = out.reading == at::CopsReading::NoOperator;
    applyDisplay(out.display);
    if (out.runPcsq) {
        PCSQ();
    }
}

void Form1::PCSQ()
{
    Timer1->stop();
    const at::CsqOutcome out = querySignal(transaction_, cops_, csq_, Check1->isChecked());
    csq_ = out.state;
    cycle_.levelRead = out.levelRead;
    applyDisplay(out.display);
    if (out.runPcgreg) {
        PCGREG();
    } else {
        enable(Timer1);
    }
}

void Form1::PCGREG()
{
    const at::CgregOutcome out = queryRegistration(transaction_, cops_, cgreg_);
    cgreg_ = out.state;
    cycle_.location = out.reading == at::CgregReading::Location ? CycleReadings::Location::Read
                      : out.reading == at::CgregReading::NoLocation
                          ? CycleReadings::Location::Missing
                          : CycleReadings::Location::NotRead;
    applyDisplay(out.display);
    enable(Timer1);
}

void Form1::Combo2_Click()
{
    ggg();
}

void Form1::ggg()
{
    const std::optional<QString> output = at::networkModeOutput(Combo2->currentText());
    if (!output) {
        return;
    }
    Timer1->stop();
    // The modem's answer is not awaited: the next polling transaction reads it as a leftover.
    MSComm1.setOutput(*output);
    enable(Timer1);
    if (MSComm1.deviceLost()) {
        portLost();
    }
}
