#include "kestrel/monitor/PortLink.h"

#include "kestrel/serial/OpeningSequence.h"
#include "kestrel/serial/PortText.h"
#include "platform/hotplug/DeviceWatch.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/window/TimerEnable.h"

#include <QTimer>

namespace
{

// The caption of the first device that is the stick's AT-command port, in the order the list
// yields them.
std::optional<QString> findAtPort(const std::optional<QList<DeviceEntry>>& devices)
{
    if (devices) {
        for (const auto& device : *devices) {
            if (huaweiPcUiDescriptions.contains(device.description)) {
                return device.caption;
            }
        }
    }
    return std::nullopt;
}

QString ttyName(const QString& portText)
{
    const auto number = portNumberFromText(portText);
    return number ? QStringLiteral("ttyUSB%1").arg(*number) : QString();
}

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(intervalMs);
    return timer;
}

} // namespace

PortLink::PortLink(CommControl& port, DeviceInventory& inventory, DeviceWatch* watch,
                   QObject* parent)
    : QObject(parent), TimerPause(makeTimer(this, "TimerPause", 1000)),
      TimerWatch(makeTimer(this, "TimerWatch", 1000)), port_(port), inventory_(inventory)
{
    connect(TimerPause, &QTimer::timeout, this, [this] { TimerPause_Timer(); });
    connect(TimerWatch, &QTimer::timeout, this, [this] { lookForStick(); });
    if (watch) {
        connect(watch, &DeviceWatch::ttyAdded, this, [this] { lookForStick(); });
        connect(watch, &DeviceWatch::ttyRemoved, this, [this](const QString& name) {
            if (port_.PortOpen() && name == ttyName(portText_)) {
                portLost();
            }
        });
    }
}

void PortLink::findStick()
{
    // A device list that cannot be read finds no stick: nothing is opened, and the watch keeps
    // looking.
    if (const auto caption = findAtPort(inventory_.devices())) {
        adoptStick(*caption);
    } else {
        emit statusChanged();
    }
    updateWatch();
}

void PortLink::adoptStick(const QString& caption)
{
    adoptedCaption_ = caption;
    if (const auto cut = cutPortText(caption)) {
        portText_ = *cut;
    }
    boxText_ = caption;
    emit stickShown(caption);
    COMPORT();
}

void PortLink::TimerPause_Timer()
{
    ++retryTicks_;
    if (retryTicks_ > 2) {
        RUNS();
        retryTicks_ = 0;
    }
}

void PortLink::pick()
{
    port_.setPortOpen(false);
    // The user chose a port: no longer waiting for the pulled stick.
    if (status_.link == Link::Unplugged) {
        status_.link = Link::Looking;
    }
    RUNS();
}

void PortLink::RUNS()
{
    const auto portText = portTextFromBoxText(boxText_);
    if (!portText) {
        // A caption whose port name cannot be cut: nothing to open, no timer touched.
        return;
    }
    portText_ = *portText;
    COMPORT();
}

void PortLink::COMPORT()
{
    TimerPause->stop();
    const OpeningResult opening = openPort(port_, portText_);
    // The retry loop is silent; the tool tip lets the user find out what keeps failing.
    emit openingTold(opening.failed ? opening.reason : QString());
    // A new attempt replaces what the last one noted.
    emit note(QString());
    if (!opening.failed) {
        status_ = LinkStatus::of(Link::Open, portText_);
    } else if (port_.PortOpen()) {
        // Another port stays open and polled; the failure is a note beside it.
        emit note(opening.reason);
    } else if (status_.link != Link::Unplugged) {
        // While the stick is away, failing to open it is no news: the title keeps waiting.
        status_ = LinkStatus::of(Link::OpenFailed, portText_, opening.reason);
    }
    if (opening.failed) {
        enable(TimerPause);
    } else {
        emit opened();
    }
    emit statusChanged();
    updateWatch();
}

void PortLink::lookForStick()
{
    if (port_.PortOpen()) {
        return;
    }
    const auto caption = findAtPort(inventory_.devices());
    if (!caption) {
        adoptedCaption_.clear();
        return;
    }
    // A stick already tried and failing is the retry timer's; a new one, or the one that was
    // pulled, is opened now.
    if (status_.link == Link::Unplugged || *caption != adoptedCaption_) {
        adoptStick(*caption);
    }
}

void PortLink::portLost()
{
    port_.setPortOpen(false);
    status_ = LinkStatus::of(Link::Unplugged, portText_);
    emit lost();
    emit statusChanged();
    updateWatch();
}

void PortLink::stop()
{
    TimerPause->stop();
    TimerWatch->stop();
    port_.setPortOpen(false);
}

void PortLink::updateWatch()
{
    if (port_.PortOpen()) {
        TimerWatch->stop();
    } else {
        enable(TimerWatch);
    }
}
