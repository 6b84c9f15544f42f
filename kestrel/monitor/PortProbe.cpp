#include "kestrel/monitor/PortProbe.h"

#include "kestrel/serial/OpeningSequence.h"
#include "kestrel/serial/PortText.h"

#include <QRegularExpression>
#include <QTimer>
#include <utility>

namespace
{

// An "OK" line, ended as a modem ends it; the echo of "AT" and any noise around it do not count.
bool saidOk(const QString& heard)
{
    static const QRegularExpression okLine(QStringLiteral("(^|[\\r\\n])OK[\\r\\n]"));
    return okLine.match(heard).hasMatch();
}

} // namespace

PortProbe::PortProbe(CommControl& port, QObject* parent) : QObject(parent), port_(port)
{
    listen_ = new QTimer(this);
    listen_->setObjectName(QStringLiteral("ProbeListen"));
    listen_->setInterval(kListenMs);
    connect(listen_, &QTimer::timeout, this, [this] { listen(); });
}

void PortProbe::start(const QStringList& portTexts)
{
    cancel();
    waiting_ = portTexts;
    askNext();
}

void PortProbe::cancel()
{
    listen_->stop();
    waiting_.clear();
    if (std::exchange(asking_, QString()).isEmpty()) {
        return;
    }
    if (port_.PortOpen()) {
        port_.setPortOpen(false);
    }
}

void PortProbe::askNext()
{
    while (!waiting_.isEmpty()) {
        asking_ = waiting_.takeFirst();
        const auto number = portNumberFromText(asking_);
        if (!number || port_.heldByAnotherProgram(*number)) {
            continue;
        }
        // A port that another program locked, or that is gone, fails to open: pass it over.
        const bool opened = !openPort(port_, asking_).failed;
        if (opened && port_.setOutput(QStringLiteral("AT\r"))) {
            heard_.clear();
            since_.start();
            listen_->start();
            return;
        }
        if (port_.PortOpen()) {
            port_.setPortOpen(false);
        }
    }
    asking_.clear();
    emit noAnswer();
}

void PortProbe::listen()
{
    const auto input = port_.Input();
    heard_ += input.value_or(QString());
    if (saidOk(heard_)) {
        listen_->stop();
        waiting_.clear();
        emit answered(std::exchange(asking_, QString()));
    } else if (!input || since_.elapsed() >= kAnswerMs) {
        listen_->stop();
        port_.setPortOpen(false);
        askNext();
    }
}
