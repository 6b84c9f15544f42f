#pragma once

#include "tools/modemsim/ModemSimulator.h"

#include <QHostAddress>
#include <QString>
#include <functional>
#include <memory>

namespace modemsim
{

// The web API a Huawei stick with HiLink firmware (E3372h-320, E8372h) offers instead of an AT
// port, over HTTP/1.1: one request per connection, answered with "Connection: close". It reads
// the simulator's ModemState on every request, so the scenario that moves the AT stick moves
// this one too, and it stops listening while the stick is unplugged (connections are refused)
// and listens on the same port again on replug. README.md lists the pages and their answers.
//
//   ModemSimulator sim;
//   sim.start();
//   HilinkServer hilink(sim);
//   hilink.listen(QHostAddress::LocalHost, 0);   // then http://127.0.0.1:<port()>/api/...
//
// It serves on a thread of its own; every member may be called from any thread. It must go
// before the simulator does.
class HilinkServer
{
public:
    explicit HilinkServer(ModemSimulator& simulator);
    ~HilinkServer();
    HilinkServer(const HilinkServer&) = delete;
    HilinkServer& operator=(const HilinkServer&) = delete;

    // Port 0 picks a free port, kept across unplug and replug. False with errorString().
    bool listen(const QHostAddress& host, quint16 port);
    bool isListening() const;
    quint16 port() const;
    QString errorString() const;

    // Called on the server's thread for every request once its reply is written: the request
    // line's method and target as the command, the reply's body as the reply.
    void setLogObserver(std::function<void(const LogEntry&)> observer);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace modemsim
