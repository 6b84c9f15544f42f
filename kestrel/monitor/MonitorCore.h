#pragma once

#include "kestrel/monitor/MonitorReading.h"
#include "kestrel/monitor/PollingCycle.h"
#include "kestrel/status/ReadingFreshness.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

class CommControl;
class DeviceInventory;
class DeviceWatch;
class HilinkPoller;
struct HilinkRound;
class PortLink;
class QThread;
class QTimer;

// The monitor without its windows: the link to the stick, the polling cycle and what it keeps,
// which readings are current, and the window's title. After every polling cycle, and when the
// stick goes away, it sends the reading; the windows show that and ask for nothing else.
//
// It may run in a thread of its own (runIn): every call on the port then happens there, and
// what the window asks for (a port, a network mode, ...) is queued and done after the cycle
// under way. Called from the thread it lives in, each request is done at once.
class MonitorCore : public QObject
{
    Q_OBJECT
public:
    struct Platform {
        CommControl& port;
        DeviceInventory& inventory;
        // Tells when ttys come and go; optional, the core also looks by itself every second.
        DeviceWatch* deviceWatch = nullptr;
    };

    // How long a note stays in the title.
    static constexpr int kNoteMs = 5000;

    explicit MonitorCore(Platform platform, QObject* parent = nullptr);
    ~MonitorCore() override;

    QTimer* Timer1 = nullptr; // 300 ms: the polling cycle
    PortLink& link() { return *link_; }

    // Moves the core and its port into `thread` and starts it.
    void runIn(QThread& thread);
    // Ends the monitor: a running transaction stops after its next read, the timers stop and
    // the port closes on the core's thread; returns once that thread has ended.
    void finish();

    // The window's requests.
    // Finds the stick and opens its port.
    void load();
    // Combo1's text as the user sees it; a retry opens what it names.
    void setPortBoxText(const QString& text);
    // A port picked from Combo1's list: closes the port, then opens the picked one. A HiLink
    // stick ("HiLink 192.168.8.1") is polled over HTTP instead.
    void pickPort(const QString& boxText);
    // Command2: opens the port the text names without closing the open one first.
    void tryPort(const QString& boxText);
    // An entry chosen from Combo2's list: ggg, or on a HiLink stick its web API's net-mode.
    void chooseNetworkMode(const QString& entry);
    // The password the user gave after passwordWanted: a HiLink stick is logged in with it.
    void logIn(const QString& password);
    // "LEVEL PERCENTAGE " ticked or not, as the signal query finds it.
    void setPercentMode(bool on);
    // A note for the title, shown for kNoteMs.
    void tell(const QString& note);

    // A tick of Timer1: one polling cycle, then the reading is sent. On a HiLink stick the
    // cycle is a round of requests, and Timer1 waits until its replies are in.
    void Timer1_Timer();
    // Sends the network-mode command of the entry, stopping and restarting Timer1 around it.
    void ggg(const QString& entry);

    const MonitorReading& reading() const { return reading_; }
    QString title() const { return title_; }

signals:
    void readingReady(const MonitorReading& reading);
    void titleChanged(const QString& title);
    // Combo1 shows the stick's caption and lists it.
    void stickShown(const QString& caption);
    // Why the last opening failed, for Combo1's tool tip; empty after a success.
    void openingTold(const QString& reason);
    // The HiLink stick (its port box text) asks for its user's password: once per opening, and
    // again after a login that failed.
    void passwordWanted(const QString& stick);
    // How the stick took a network mode, for Combo2's tool tip: empty when it took it.
    void networkModeTold(const QString& refusal);

private:
    void inOwnThread(std::function<void()> work);
    // Polls the HiLink stick at `address` (host and optional port) instead of any AT port;
    // `listed`: one the device list holds, as against one the user named.
    void openHilink(const QString& address, bool listed = false);
    // The device list's HiLink sticks now: the first is opened when no stick is read, and a
    // listed stick that left the list is unplugged.
    void takeListedHilinkSticks(const QStringList& addresses);
    void closeHilink();
    void takeHilinkRound(const HilinkRound& round);
    void connectLink();
    void shutDown();
    // The link as the title tells it: whether an open port brings replies, and the note.
    LinkStatus linkStatus() const;
    void publishReading();
    void publishTitle();

    CommControl& port_;
    PortLink* link_ = nullptr;
    // The HiLink stick being polled, and where the monitor stands with it; null while the
    // monitor uses an AT port.
    HilinkPoller* hilink_ = nullptr;
    LinkStatus hilinkStatus_;
    QString hilinkAddress_;
    bool passwordAsked_ = false;
    // The stick came from the device list, and is not in it now: its address, no longer on a
    // link of the stick's, is not asked.
    bool hilinkListed_ = false;
    bool hilinkGone_ = false;
    PollingCycle cycle_;
    ReadingFreshness freshness_;
    MonitorReading reading_;
    bool percentMode_ = false;
    QString note_;
    QTimer* noteExpiry_ = nullptr;
    QString title_;
    std::atomic<bool> stopping_{false};
};
