#pragma once

#include "kestrel/status/LinkStatus.h"
#include "platform/inventory/DeviceInventory.h"
#include "platform/serial/CommControl.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class DeviceWatch;
class PortProbe;
class QTimer;
struct OpeningResult;

// The monitor's link to its stick: finds the stick's AT port in the device list (or, on a
// Huawei stick whose interfaces name none, by asking its ttys), opens it, retries a port that
// does not open, and watches the stick go and come back. The port box's text (what the user
// typed or picked) is handed in as it changes; the retry reads it afresh.
class PortLink : public QObject
{
    Q_OBJECT
public:
    // `watch` may be null: then only TimerWatch looks for the stick.
    PortLink(CommControl& port, DeviceInventory& inventory, DeviceWatch* watch,
             QObject* parent = nullptr);

    QTimer* TimerPause = nullptr; // 1000 ms: retrying the port
    QTimer* TimerWatch = nullptr; // 1000 ms: looks for the stick while no port is open

    // Finds the stick's port in the device list and opens it; when none can be opened, the
    // watch keeps looking.
    void findStick();
    // Every third tick retries the port with the port box's text.
    void TimerPause_Timer();
    // Takes the port text from the port box's text and opens that port.
    void RUNS();
    // Opens the port named by the port text; a failure starts the retry timer.
    void COMPORT();

    void setBoxText(const QString& text) { boxText_ = text; }
    // A port picked from the port box's list: close the port, then open the picked one.
    void pick();
    // While no port is open: reads the device list, and opens the stick's AT port when one
    // appeared that was not tried yet, or the pulled stick came back.
    void lookForStick();
    // A tick of TimerWatch: looks for the stick; when the list holds no AT port, asks the ttys
    // of a Huawei stick without PC UI port, once per plug-in, highest interface first, and
    // opens the first that answers.
    void TimerWatch_Timer();
    // The open port's device went away: closes the port and waits for the stick.
    void portLost();
    // Stops every timer and closes the port.
    void stop();
    // Closes the port and stops retrying it, as when the monitor turns to a HiLink stick; the
    // watch goes on looking, so that a stick with an AT port is still taken up when it comes.
    void rest();

    const LinkStatus& status() const { return status_; }

signals:
    void opened();
    void lost();
    // The port box shows the stick's caption and lists it.
    void stickShown(const QString& caption);
    // Why the last opening failed, for the port box's tool tip; empty after a success.
    void openingTold(const QString& reason);
    // A failure beside a port that stays open; empty when a new attempt begins.
    void note(const QString& text);
    void statusChanged();
    // The addresses of the HiLink sticks in the device list (empty: none), at each look while
    // the list holds no AT port: a stick with an AT port is read through that.
    void hilinkSticksListed(const QStringList& addresses);

private:
    void look(bool tick);
    void adoptStick(const QString& caption);
    void askStickWithoutPcUi(const QList<DeviceEntry>& devices);
    void adoptAnswer(const QString& portText);
    // Tells how an opening went: the status, the signals and the retry timer.
    void settle(const OpeningResult& opening);
    void updateWatch();
    void tellHilinkSticks(const std::optional<QList<DeviceEntry>>& devices);

    CommControl& port_;
    DeviceInventory& inventory_;
    LinkStatus status_;
    QString boxText_;
    // The port number as text, as cut from a caption or typed into the port box.
    QString portText_;
    // Ticks of TimerPause since the last retry.
    int retryTicks_ = 0;
    // The caption of the stick last opened from the device list; cleared when the list no
    // longer holds it.
    QString adoptedCaption_;
    PortProbe* probe_ = nullptr;
    // The Huawei sticks without PC UI port at the last tick (plug-in -> port texts, in the
    // order to ask them), and those asked since they were plugged in.
    QMap<QString, QStringList> sticksAtLastTick_;
    QSet<QString> asked_;
};
