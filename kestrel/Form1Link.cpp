// Form1 and its stick: the start-up search, opening the port, the retry timer, the port box,
// and watching the stick go and come back. The window's title tells where things stand.
#include "kestrel/Form1.h"
#include "kestrel/Form2.h"
#include "kestrel/serial/OpeningSequence.h"
#include "kestrel/serial/PortText.h"
#include "platform/hotplug/DeviceWatch.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/window/WindowHelpers.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <functional>

namespace
{

// The first device that is the stick's AT-command port, in the order the list yields them.
std::optional<DeviceEntry> findAtPort(const std::optional<QList<DeviceEntry>>& devices)
{
    if (devices) {
        for (const auto& device : *devices) {
            if (huaweiPcUiDescriptions.contains(device.description)) {
                return device;
            }
        }
    }
    return std::nullopt;
}

// Calls `onReturn` when Return or Enter is pressed in the edit field. An editable combo box
// hands an ignored Return back to its edit field, which then emits returnPressed a second
// time; a filter sees the key once, as it arrives from the user.
class ReturnKeyWatcher : public QObject
{
public:
    ReturnKeyWatcher(QLineEdit* field, std::function<void()> onReturn)
        : QObject(field), onReturn_(std::move(onReturn))
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                onReturn_();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onReturn_;
};

QString ttyName(const QString& portText)
{
    const auto number = portNumberFromText(portText);
    return number ? QStringLiteral("ttyUSB%1").arg(*number) : QString();
}

} // namespace

void Form1::connectLink()
{
    connect(TimerPause, &QTimer::timeout, this, [this] { TimerPause_Timer(); });
    connect(TimerWatch, &QTimer::timeout, this, [this] { lookForStick(); });
    new ReturnKeyWatcher(Combo1->lineEdit(), [this] { Combo1_Return(); });
    if (deviceWatch_) {
        connect(deviceWatch_, &DeviceWatch::ttyAdded, this, [this] { lookForStick(); });
        connect(deviceWatch_, &DeviceWatch::ttyRemoved, this, [this](const QString& name) {
            if (MSComm1.PortOpen() && name == ttyName(portText_)) {
                portLost();
            }
        });
    }
}

void Form1::Form_Load()
{
    // An inventory that cannot be read finds no modem: nothing is opened, and the watch keeps
    // looking.
    if (const auto stick = findAtPort(inventory_.devices())) {
        adoptStick(*stick);
    } else {
        showStatus();
    }
    enable(Timer3);
    updateWatch();
}

void Form1::adoptStick(const DeviceEntry& stick)
{
    adoptedCaption_ = stick.caption;
    if (const auto cut = cutPortText(stick.caption)) {
        portText_ = *cut;
    }
    Combo1->setEditText(stick.caption);
    // Show the caption from its start, as a text box does, not scrolled to its end.
    Combo1->lineEdit()->setCursorPosition(0);
    // A stick that comes back under the same name is listed once.
    if (Combo1->findText(stick.caption) < 0) {
        Combo1->addItem(stick.caption);
    }
    COMPORT();
}

void Form1::Form_Unload()
{
    if (form2_) {
        form2_->close();
    }
    TimerPause->stop();
    Timer1->stop();
    Timer3->stop();
    TimerWatch->stop();
    MSComm1.setPortOpen(false);
    QCoreApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Form1::TimerPause_Timer()
{
    ++retryTicks_;
    if (retryTicks_ > 2) {
        RUNS();
        retryTicks_ = 0;
    }
}

void Form1::Combo1_Click()
{
    MSComm1.setPortOpen(false);
    // The user chose a port: no longer waiting for the pulled stick.
    if (status_.link == Link::Unplugged) {
        status_.link = Link::Looking;
    }
    RUNS();
}

void Form1::Combo1_Return()
{
    const QString typed = Combo1->currentText();
    const auto portText = portTextFromBoxText(typed);
    const auto number = portText ? portNumberFromText(*portText) : std::nullopt;
    if (!number || *number < 0) {
        status_.note = QStringLiteral("\"%1\" is not a port number").arg(typed.trimmed());
        Combo1->setToolTip(status_.note);
        showStatus();
        return;
    }
    Combo1_Click();
}

void Form1::Command2_Click()
{
    RUNS();
}

void Form1::RUNS()
{
    const auto portText = portTextFromBoxText(Combo1->currentText());
    if (!portText) {
        // A caption whose port name cannot be cut: nothing to open, no timer touched.
        return;
    }
    portText_ = *portText;
    COMPORT();
}

void Form1::COMPORT()
{
    TimerPause->stop();
    const OpeningResult opening = openPort(MSComm1, portText_);
    // The retry loop is silent; the tool tip lets the user find out what keeps failing.
    Combo1->setToolTip(opening.failed ? opening.reason : QString());
    status_.note.clear();
    if (!opening.failed) {
        status_ = LinkStatus::of(Link::Open, portText_);
        freshness_.portOpened();
    } else if (MSComm1.PortOpen()) {
        // Another port stays open and polled; the failure is a note beside it.
        status_.note = opening.reason;
    } else if (status_.link != Link::Unplugged) {
        // While the stick is away, failing to open it is no news: the title keeps waiting.
        status_ = LinkStatus::of(Link::OpenFailed, portText_, opening.reason);
    }
    enable(opening.failed ? TimerPause : Timer1);
    showStatus();
    updateWatch();
}

void Form1::lookForStick()
{
    if (MSComm1.PortOpen()) {
        return;
    }
    const auto stick = findAtPort(inventory_.devices());
    if (!stick) {
        adoptedCaption_.clear();
        return;
    }
    // A stick already tried and failing is the retry timer's; a new one, or the one that was
    // pulled, is opened now.
    if (status_.link == Link::Unplugged || stick->caption != adoptedCaption_) {
        adoptStick(*stick);
    }
}

void Form1::portLost()
{
    MSComm1.setPortOpen(false);
    Timer1->stop();
    status_ = LinkStatus::of(Link::Unplugged, portText_);
    freshness_.deviceLost();
    showFreshness();
    showStatus();
    updateWatch();
    aimingCycleEnded();
}

void Form1::showStatus()
{
    if (status_.link == Link::Open) {
        status_.noReply = freshness_.noReply();
    }
    setWindowTitle(monitorTitle(status_));
}

void Form1::updateWatch()
{
    if (MSComm1.PortOpen()) {
        TimerWatch->stop();
    } else {
        enable(TimerWatch);
    }
}
