#include "kestrel/monitor/PortLink.h"

#include "kestrel/monitor/PortProbe.h"
#include "kestrel/serial/OpeningSequence.h"
#include "kestrel/serial/PortText.h"
#include "platform/hotplug/DeviceWatch.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "platform/window/TimerEnable.h"

#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <utility>

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

// The ttys of each Huawei stick on which no PC UI port was found (by plug-in), as port texts,
// highest interface first: Huawei puts the modem port, which a dialler may hold, first and the
// PC UI after it. Only ttyUSB<N> can be opened by number.
QMap<QString, QStringList> sticksWithoutPcUi(const QList<DeviceEntry>& devices)
{
    static const QRegularExpression usbPort(QStringLiteral("\\(USB(\\d+)\\)$"));
    QMap<QString, QList<std::pair<int, QString>>> ttys;
    for (const auto& device : devices) {
        const auto port = usbPort.match(device.caption);
        if (!device.stickWithoutPcUi.isEmpty() && port.hasMatch()) {
            ttys[device.stickWithoutPcUi].append({device.interfaceNumber, port.captured(1)});
        }
    }
    QMap<QString, QStringList> sticks;
    for (auto it = ttys.begin(); it != ttys.end(); ++it) {
        std::sort(it->begin(), it->end(), std::greater<>());
        for (const auto& tty : *it) {
            sticks[it.key()] << tty.second;
        }
    }
    return sticks;
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
      TimerWatch(makeTimer(this, "TimerWatch", 1000)), port_(port), inventory_(inventory),
      probe_(new PortProbe(port, this))
{
    connect(TimerPause, &QTimer::timeout, this, [this] { TimerPause_Timer(); });
    connect(TimerWatch, &QTimer::timeout, this, [this] { TimerWatch_Timer(); });
    connect(probe_, &PortProbe::answered, this, [this](const QString& port) { adoptAnswer(port); });
    connect(probe_, &PortProbe::noAnswer, this, [this] {
        // A port the user named keeps being retried once the stick has had its turn.
        if (status_.link == Link::OpenFailed) {
            enable(TimerPause);
        }
        updateWatch();
    });
    if (watch) {
        connect(watch, &DeviceWatch::ttyAdded, this, [this] { lookForStick(); });
        connect(watch, &DeviceWatch::netAdded, this, [this] { lookForStick(); });
        connect(watch, &DeviceWatch::netRemoved, this, [this] { lookForStick(); });
        connect(watch, &DeviceWatch::ttyRemoved, this, [this](const QString& name) {
            // A port open to be asked is the probe's, which notices a pulled stick by its reads.
            if (port_.PortOpen() && !probe_->running() && name == ttyName(portText_)) {
                portLost();
            }
        });
    }
}

void PortLink::findStick()
{
    // A device list that cannot be read finds no stick: nothing is opened, and the watch keeps
    // looking.
    const auto devices = inventory_.devices();
    if (const auto caption = findAtPort(devices)) {
        adoptStick(*caption);
    } else {
        // A stick without PC UI port is asked at the next tick if its ttys are the same then.
        sticksAtLastTick_ = sticksWithoutPcUi(devices.value_or(QList<DeviceEntry>{}));
        emit statusChanged();
        tellHilinkSticks(devices);
    }
    updateWatch();
}

void PortLink::tellHilinkSticks(const std::optional<QList<DeviceEntry>>& devices)
{
    QStringList addresses;
    for (const DeviceEntry& device : devices.value_or(QList<DeviceEntry>{})) {
        if (!device.hilinkAddress.isEmpty()) {
            addresses << device.hilinkAddress;
        }
    }
    emit hilinkSticksListed(addresses);
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
    probe_->cancel();
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
    // The port the user or the device list names replaces one being asked.
    probe_->cancel();
    TimerPause->stop();
    settle(openPort(port_, portText_));
}

void PortLink::settle(const OpeningResult& opening)
{
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
    look(false);
}

void PortLink::TimerWatch_Timer()
{
    look(true);
}

void PortLink::look(bool tick)
{
    if (port_.PortOpen() || probe_->running()) {
        return;
    }
    const auto devices = inventory_.devices();
    const auto caption = findAtPort(devices);
    if (!caption) {
        adoptedCaption_.clear();
        if (tick && devices) {
            askStickWithoutPcUi(*devices);
        }
        tellHilinkSticks(devices);
        return;
    }
    // A stick already tried and failing is the retry timer's; a new one, or the one that was
    // pulled, is opened now.
    if (status_.link == Link::Unplugged || *caption != adoptedCaption_) {
        adoptStick(*caption);
    }
}

void PortLink::askStickWithoutPcUi(const QList<DeviceEntry>& devices)
{
    // A stick's ttys appear one by one as it enumerates, and udev's news of each comes between
    // ticks: a stick is asked only once its ttys are the same as a whole tick earlier, so that
    // none of them is missed at this plug-in.
    const QMap<QString, QStringList> sticks = sticksWithoutPcUi(devices);
    const QMap<QString, QStringList> before = std::exchange(sticksAtLastTick_, sticks);
    // The next plug-in of a stick comes under a new bus address: forget the ones that went.
    asked_.removeIf([&sticks](const QString& stick) { return !sticks.contains(stick); });
    for (auto it = sticks.cbegin(); it != sticks.cend(); ++it) {
        if (!asked_.contains(it.key()) && before.value(it.key()) == it.value()) {
            asked_.insert(it.key());
            // Retrying a port the user named would close the port being asked; the title keeps
            // looking for the modem, also for a stick that was pulled and came back.
            TimerPause->stop();
            if (status_.link == Link::Unplugged) {
                status_.link = Link::Looking;
                emit statusChanged();
            }
            probe_->start(it.value());
            return;
        }
    }
}

void PortLink::adoptAnswer(const QString& portText)
{
    // Shown as the PC UI port it proved to be: the port box then holds a caption that the retry
    // and a pick cut the port number from, as for any stick.
    const QString caption = huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(portText);
    adoptedCaption_ = caption;
    portText_ = portText;
    boxText_ = caption;
    emit stickShown(caption);
    settle({});
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
    probe_->cancel();
    TimerPause->stop();
    TimerWatch->stop();
    port_.setPortOpen(false);
}

void PortLink::rest()
{
    stop();
    updateWatch();
}

void PortLink::updateWatch()
{
    if (port_.PortOpen()) {
        TimerWatch->stop();
    } else {
        enable(TimerWatch);
    }
}
