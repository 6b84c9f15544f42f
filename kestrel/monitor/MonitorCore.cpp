#include "kestrel/monitor/MonitorCore.h"

#include "kestrel/at/NetworkMode.h"
#include "kestrel/hilink/HilinkPoller.h"
#include "kestrel/monitor/HilinkReading.h"
#include "kestrel/monitor/PortLink.h"
#include "kestrel/serial/PortText.h"
#include "platform/serial/CommControl.h"
#include "platform/window/TimerEnable.h"

#include <QThread>
#include <QTimer>

MonitorCore::MonitorCore(Platform platform, QObject* parent)
    : QObject(parent), port_(platform.port),
      link_(new PortLink(platform.port, platform.inventory, platform.deviceWatch, this)),
      cycle_(platform.port)
{
    qRegisterMetaType<MonitorReading>();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    noteExpiry_ = new QTimer(this);
    noteExpiry_->setObjectName(QStringLiteral("NoteExpiry"));
    noteExpiry_->setSingleShot(true);
    noteExpiry_->setInterval(kNoteMs);
    connect(noteExpiry_, &QTimer::timeout, this, [this] {
        note_.clear();
        publishTitle();
    });
    cycle_.stopWhen(stopping_);
    connectLink();
    title_ = monitorTitle(link_->status());
}

MonitorCore::~MonitorCore() = default;

void MonitorCore::connectLink()
{
    connect(link_, &PortLink::opened, this, [this] {
        // A stick with an AT port is read through it.
        closeHilink();
        freshness_.portOpened();
        cycle_.portOpened();
        enable(Timer1);
    });
    connect(link_, &PortLink::lost, this, [this] {
        Timer1->stop();
        freshness_.deviceLost();
        publishReading();
    });
    connect(link_, &PortLink::note, this, [this](const QString& text) {
        if (text.isEmpty()) {
            note_.clear();
            noteExpiry_->stop();
        } else {
            tell(text);
        }
    });
    connect(link_, &PortLink::statusChanged, this, [this] { publishTitle(); });
    connect(link_, &PortLink::hilinkSticksListed, this,
            [this](const QStringList& addresses) { takeListedHilinkSticks(addresses); });
    connect(link_, &PortLink::stickShown, this, &MonitorCore::stickShown);
    connect(link_, &PortLink::openingTold, this, &MonitorCore::openingTold);
}

void MonitorCore::runIn(QThread& thread)
{
    port_.moveToThread(&thread);
    moveToThread(&thread);
    thread.start();
}

void MonitorCore::finish()
{
    stopping_ = true;
    QThread* own = thread();
    if (own == QThread::currentThread() || !own->isRunning()) {
        shutDown();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, home = QThread::currentThread()] {
            shutDown();
            // Back where the core and its port were made, which also destroys them.
            port_.moveToThread(home);
            moveToThread(home);
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    own->wait();
}

void MonitorCore::shutDown()
{
    closeHilink();
    Timer1->stop();
    noteExpiry_->stop();
    link_->stop();
}

void MonitorCore::inOwnThread(std::function<void()> work)
{
    if (thread() == QThread::currentThread()) {
        work();
    } else {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    }
}

void MonitorCore::load()
{
    inOwnThread([this] { link_->findStick(); });
}

void MonitorCore::setPortBoxText(const QString& text)
{
    inOwnThread([this, text] { link_->setBoxText(text); });
}

void MonitorCore::pickPort(const QString& boxText)
{
    inOwnThread([this, boxText] {
        if (const auto address = hilinkAddressFromBoxText(boxText)) {
            openHilink(*address);
            return;
        }
        closeHilink();
        link_->setBoxText(boxText);
        link_->pick();
    });
}

void MonitorCore::tryPort(const QString& boxText)
{
    inOwnThread([this, boxText] {
        if (const auto address = hilinkAddressFromBoxText(boxText)) {
            openHilink(*address);
            return;
        }
        closeHilink();
        link_->setBoxText(boxText);
        link_->RUNS();
    });
}

void MonitorCore::chooseNetworkMode(const QString& entry)
{
    inOwnThread([this, entry] {
        if (!hilink_) {
            ggg(entry);
        } else if (const auto mode = at::hilinkNetworkMode(entry)) {
            hilink_->setNetworkMode(*mode);
        }
    });
}

void MonitorCore::logIn(const QString& password)
{
    inOwnThread([this, password] {
        if (hilink_) {
            hilink_->logIn(password);
        }
    });
}

void MonitorCore::setPercentMode(bool on)
{
    inOwnThread([this, on] { percentMode_ = on; });
}

void MonitorCore::tell(const QString& note)
{
    inOwnThread([this, note] {
        note_ = note;
        noteExpiry_->start();
        publishTitle();
    });
}

void MonitorCore::Timer1_Timer()
{
    if (hilink_) {
        // One round at a time: the next starts an interval after this one's last answer.
        Timer1->stop();
        hilink_->poll();
        return;
    }
    const PollingCycle::Outcome outcome = cycle_.run(reading_, percentMode_);
    // A cycle that ran the signal query restarts Timer1, so the next cycle begins a whole
    // interval after this one ended.
    if (outcome.signalQueried) {
        Timer1->start();
    }
    if (port_.deviceLost()) {
        link_->portLost();
        return;
    }
    freshness_.cycleEnded(outcome.readings);
    publishReading();
}

void MonitorCore::ggg(const QString& entry)
{
    const std::optional<QString> output = at::networkModeOutput(entry);
    if (!output) {
        return;
    }
    Timer1->stop();
    // The modem's answer is not awaited: the next polling transaction reads it as a leftover.
    port_.setOutput(*output);
    enable(Timer1);
    if (port_.deviceLost()) {
        link_->portLost();
    }
}

void MonitorCore::openHilink(const QString& address, bool listed)
{
    closeHilink();
    link_->rest();
    hilinkAddress_ = address;
    hilinkListed_ = listed;
    hilinkGone_ = false;
    hilink_ = new HilinkPoller(QUrl(QStringLiteral("http://") + address), this);
    connect(hilink_, &HilinkPoller::roundDone, this,
            [this](const HilinkRound& round) { takeHilinkRound(round); });
    connect(hilink_, &HilinkPoller::loggedIn, this, [this](bool ok, const QString& why) {
        if (!ok) {
            // Asked again when the next round finds the stick still locked.
            passwordAsked_ = false;
            tell(QStringLiteral("login refused: ") + why);
        }
    });
    connect(hilink_, &HilinkPoller::networkModeSet, this, [this](bool ok, const QString& why) {
        emit networkModeTold(ok ? QString() : QStringLiteral("The stick refused: ") + why);
    });
    passwordAsked_ = false;
    const QString stick = hilinkBoxText(address);
    hilinkStatus_ = LinkStatus::of(Link::Open, stick);
    freshness_.portOpened();
    emit stickShown(stick);
    emit openingTold({});
    enable(Timer1);
    publishTitle();
}

void MonitorCore::takeListedHilinkSticks(const QStringList& addresses)
{
    if (!hilink_) {
        if (!addresses.isEmpty() && !port_.PortOpen()) {
            openHilink(addresses.first(), true);
        }
        return;
    }
    if (!hilinkListed_) {
        return; // the user's choice stands
    }
    const bool listed = addresses.contains(hilinkAddress_);
    if (!listed && !hilinkGone_) {
        hilinkGone_ = true;
        Timer1->stop();
        freshness_.deviceLost();
        hilinkStatus_ = LinkStatus::of(Link::Unplugged, hilinkStatus_.port);
        publishReading();
    } else if (listed && hilinkGone_) {
        hilinkGone_ = false;
        enable(Timer1);
    } else if (!listed && !addresses.isEmpty()) {
        openHilink(addresses.first(), true);
    }
}

void MonitorCore::closeHilink()
{
    if (!hilink_) {
        return;
    }
    Timer1->stop();
    hilink_->disconnect(this);
    hilink_->deleteLater();
    hilink_ = nullptr;
}

void MonitorCore::takeHilinkRound(const HilinkRound& round)
{
    const QString stick = hilinkStatus_.port;
    switch (round.outcome) {
    case HilinkRound::Outcome::Read:
        hilinkStatus_ = LinkStatus::of(Link::Open, stick);
        freshness_.cycleEnded(::takeHilinkRound(round, reading_, percentMode_));
        break;
    case HilinkRound::Outcome::PasswordRequired:
        hilinkStatus_ = LinkStatus::of(Link::OpenFailed, stick,
                                       QStringLiteral("the stick asks for its password"));
        freshness_.cycleEnded({});
        if (!passwordAsked_) {
            passwordAsked_ = true;
            emit passwordWanted(stick);
        }
        break;
    case HilinkRound::Outcome::PinRequired:
        hilinkStatus_ = LinkStatus::of(Link::OpenFailed, stick, round.why);
        freshness_.cycleEnded({});
        break;
    case HilinkRound::Outcome::NoReply:
        if (round.unreachable) {
            // Nothing listens there any more: pulled, or its web server restarting. Asked again
            // each interval, it is taken up again as soon as it answers.
            if (hilinkStatus_.link != Link::Unplugged) {
                freshness_.deviceLost();
            }
            hilinkStatus_ = LinkStatus::of(Link::Unplugged, stick);
        } else {
            if (hilinkStatus_.link != Link::Open) {
                hilinkStatus_ = LinkStatus::of(Link::Open, stick);
            }
            freshness_.cycleEnded({});
        }
        break;
    }
    publishReading();
    if (!stopping_ && !hilinkGone_) {
        Timer1->start();
    }
}

void MonitorCore::publishReading()
{
    reading_.operatorStale = freshness_.operatorStale();
    reading_.levelStale = freshness_.levelStale();
    reading_.locationStale = freshness_.locationStale();
    reading_.qualityStale = freshness_.qualityStale();
    reading_.link = linkStatus();
    emit readingReady(reading_);
    publishTitle();
}

LinkStatus MonitorCore::linkStatus() const
{
    LinkStatus status = hilink_ ? hilinkStatus_ : link_->status();
    if (status.link == Link::Open) {
        status.noReply = freshness_.noReply();
        status.registration = reading_.registration;
    }
    status.note = note_;
    return status;
}

void MonitorCore::publishTitle()
{
    const QString title = monitorTitle(linkStatus());
    if (title != title_) {
        title_ = title;
        emit titleChanged(title_);
    }
}
