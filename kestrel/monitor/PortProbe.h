#pragma once

#include "platform/serial/CommControl.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

class QTimer;

// Asks ports one at a time whether they take AT commands, as ModemManager probes a port: opens
// each with the monitor's line settings, sends "AT" and waits up to kAnswerMs for "OK". The
// first that answers stays open; a port another program holds, or that does not open, is
// passed over unasked.
//
// The wait is spread over the ticks of a timer of its own, each a single read that returns
// within a millisecond when nothing came, rather than one loop of reads: the core's thread
// stays free for the window's requests and the watch while a silent port runs out its time.
class PortProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAnswerMs = 500;
    static constexpr int kListenMs = 20;

    explicit PortProbe(CommControl& port, QObject* parent = nullptr);

    // Asks the ports that the port texts name, in this order.
    void start(const QStringList& portTexts);
    // Stops asking, closing a port opened to ask it.
    void cancel();
    bool running() const { return !asking_.isEmpty(); }

signals:
    // The port named by `portText` said OK and is left open.
    void answered(const QString& portText);
    // No port said OK; the port is closed.
    void noAnswer();

private:
    void askNext();
    void listen();

    CommControl& port_;
    QTimer* listen_ = nullptr;
    QStringList waiting_;
    QString asking_; // the port text being asked; empty when not asking
    QString heard_;
    QElapsedTimer since_;
};
