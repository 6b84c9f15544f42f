// modemsim: a Huawei 3G, 4G or 5G NSA stick's AT-command port on a pseudo-terminal, or a HiLink
// stick's web API on loopback, for people.
//
// Prints the path (or address) to open, then serves until SIGINT/SIGTERM or a "quit" step. Scenario
// lines come from --scenario FILE and, for live play, from standard input (README.md).
#include "platform/cli/CommandLine.h"
#include "tools/modemsim/HilinkServer.h"
#include "tools/modemsim/LteStick.h"
#include "tools/modemsim/ModemSimulator.h"
#include "tools/modemsim/Scenario.h"
#include "tools/modemsim/ScenarioPlayer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace modemsim;

namespace
{

void printLine(std::FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}

// Control characters and bytes outside ASCII written as \r, \n, \xHH, so a log line stays one
// line.
QByteArray escaped(const QByteArray& bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (u < 0x20 || u >= 0x7F)
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

QByteArray secondsSince(Clock::time_point origin, Clock::time_point t)
{
    const auto ms = std::chrono::duration_cast<std::chrono::microseconds>(t - origin).count();
    return QByteArray::number(double(ms) / 1e6, 'f', 3);
}

// One line per command: arrival, reply written (or "-" when none came), command, reply.
QByteArray logLine(const LogEntry& e, Clock::time_point origin)
{
    const QByteArray replied = e.answered() ? secondsSince(origin, e.replied) : "-";
    return secondsSince(origin, e.arrived) + '\t' + replied + '\t' + escaped(e.command) + '\t' +
           escaped(e.reply) + '\n';
}

// Reads scenario lines from standard input until end of file or until `stopFd` is readable.
void readStandardInput(ScenarioPlayer& player, int stopFd)
{
    QByteArray pending;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 || fds[1].revents != 0)
            return;
        char buffer[1024];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0)
            return;
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const ParsedLine parsed = parseScenarioLine(QString::fromLocal8Bit(pending.left(end)));
            pending.remove(0, end + 1);
            if (!parsed.ok())
                printLine(stderr, QStringLiteral("modemsim: %1").arg(parsed.error));
            else if (parsed.step)
                player.add(*parsed.step);
        }
    }
}

// "[HOST:]PORT" of --hilink, HOST 127.0.0.1 unless given ("[::1]:8080" for IPv6). The simulator
// must never answer anything off the machine, so only loopback addresses are taken.
std::optional<std::pair<QHostAddress, quint16>> parseHilinkAddress(const QString& text,
                                                                   QString& problem)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? QStringLiteral("127.0.0.1") : text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    const QHostAddress address(host);
    if (!ok || port > 65535)
        problem = QStringLiteral("--hilink expects [HOST:]PORT, such as 8080 or 127.0.0.1:8080");
    else if (address.isNull() || !address.isLoopback())
        problem = QStringLiteral("--hilink: %1 is not a loopback address; the simulator serves "
                                 "this machine only")
                      .arg(host);
    if (!problem.isEmpty())
        return std::nullopt;
    return std::pair{address, quint16(port)};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("modemsim"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Serves a Huawei 3G, 4G or 5G NSA stick's AT-command port on a pseudo-terminal. Prints "
        "the path to open, then reads scenario lines from standard input."));
    const QCommandLineOption scenarioOption =
        commandLineOption("scenario", "Play the scenario in <file>.", "file");
    const QCommandLineOption logOption =
        commandLineOption("log", "Write the command log to <file>.", "file");
    const QCommandLineOption linkOption =
        commandLineOption("link", "Keep a symbolic link to the port at <path>.", "path");
    const QCommandLineOption seedOption =
        commandLineOption("seed", "Seed of the garbage bytes (default 1).", "number");
    const QCommandLineOption networkOption =
        commandLineOption("network",
                          "lte: answer as a 4G stick on an LTE network; nsa: as a 5G NSA stick "
                          "(default: a 3G stick).",
                          "kind");
    const QCommandLineOption refuseHcsqOption = commandLineOption(
        "refuse-hcsq", "Answer AT^HCSQ? with ERROR, so that a client must use AT+CESQ.");
    const QCommandLineOption hcsqReportsOption = commandLineOption(
        "hcsq-reports", "Send unsolicited ^HCSQ lines every <period>, such as 2s.", "period");
    const QCommandLineOption hilinkOption = commandLineOption(
        "hilink",
        "Serve a HiLink stick's web API on [<host>:]<port> (host 127.0.0.1 unless given; "
        "loopback only; port 0: any free one) and print its address instead of a path.",
        "address");
    const QCommandLineOption hilinkPasswordOption = commandLineOption(
        "hilink-password", "Make the HiLink API wait for a login with <password>.", "password");
    options.addOptions({scenarioOption, logOption, linkOption, seedOption, networkOption,
                        refuseHcsqOption, hcsqReportsOption, hilinkOption, hilinkPasswordOption});
    if (const std::optional<int> status = readCommandLine(options, app.arguments()))
        return *status;
    const QString network = options.value(networkOption);
    if (options.isSet(networkOption) && network != u"lte" && network != u"nsa") {
        printLine(stderr, QStringLiteral("modemsim: --network expects lte or nsa"));
        return 2;
    }
    const auto hcsqPeriod = parseDuration(options.value(hcsqReportsOption));
    if (options.isSet(hcsqReportsOption) && (!hcsqPeriod || hcsqPeriod->count() == 0)) {
        printLine(stderr, QStringLiteral("modemsim: --hcsq-reports expects a period such as 2s"));
        return 2;
    }

    std::optional<std::pair<QHostAddress, quint16>> hilinkAddress;
    if (options.isSet(hilinkOption)) {
        QString problem;
        hilinkAddress = parseHilinkAddress(options.value(hilinkOption), problem);
        if (!hilinkAddress) {
            printLine(stderr, QStringLiteral("modemsim: %1").arg(problem));
            return 2;
        }
    }

    Scenario scenario;
    if (options.isSet(scenarioOption)) {
        QFile file(options.value(scenarioOption));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            printLine(stderr, QStringLiteral("modemsim: cannot read %1").arg(file.fileName()));
            return 2;
        }
        scenario = parseScenario(QString::fromUtf8(file.readAll()));
        for (const QString& error : scenario.errors)
            printLine(stderr, QStringLiteral("modemsim: %1: %2").arg(file.fileName(), error));
        if (!scenario.errors.isEmpty())
            return 2;
    }

    std::FILE* logFile = nullptr;
    if (options.isSet(logOption)) {
        logFile = std::fopen(QFile::encodeName(options.value(logOption)).constData(), "w");
        if (!logFile) {
            printLine(stderr,
                      QStringLiteral("modemsim: cannot write %1").arg(options.value(logOption)));
            return 2;
        }
    }

    // Every thread started from here on leaves these signals to sigwait() below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ModemSimulator sim;
    if (options.isSet(linkOption))
        sim.setLinkPath(options.value(linkOption));
    if (options.isSet(seedOption))
        sim.setRandomSeed(options.value(seedOption).toUInt());
    if (options.isSet(networkOption))
        sim.modifyState(network == u"nsa" ? useNsaStick : useLteStick);
    if (options.isSet(refuseHcsqOption))
        sim.modifyState([](ModemState& s) { s.refuseHcsq = true; });
    if (options.isSet(hcsqReportsOption))
        sim.setUnsolicited(Unsolicited::Hcsq, true, *hcsqPeriod);
    if (options.isSet(hilinkPasswordOption))
        sim.modifyState([password = options.value(hilinkPasswordOption)](ModemState& s) {
            s.hilinkPassword = password;
        });
    // The AT port and the web API settle entries on threads of their own.
    std::mutex logMutex;
    const auto writeLog = [logFile, &sim, &logMutex](const LogEntry& e) {
        const QByteArray line = logLine(e, sim.startedAt());
        std::lock_guard lock(logMutex);
        std::fwrite(line.constData(), 1, size_t(line.size()), logFile);
        std::fflush(logFile);
    };
    if (logFile)
        sim.setLogObserver(writeLog);
    if (!sim.start()) {
        printLine(stderr, QStringLiteral("modemsim: %1").arg(sim.errorString()));
        return 1;
    }
    std::optional<HilinkServer> hilink;
    if (hilinkAddress) {
        hilink.emplace(sim);
        if (logFile)
            hilink->setLogObserver(writeLog);
        if (!hilink->listen(hilinkAddress->first, hilinkAddress->second)) {
            printLine(stderr, QStringLiteral("modemsim: cannot listen on %1: %2")
                                  .arg(options.value(hilinkOption), hilink->errorString()));
            return 1;
        }
    }
    // The scenario's starting state is in place before anyone learns the path.
    std::vector<ScenarioStep> later;
    for (const ScenarioStep& step : scenario.steps) {
        if ((step.at && step.at->count() > 0) || std::holds_alternative<action::Quit>(step.action))
            later.push_back(step);
        else if (const QString problem = applyAction(sim, step.action); !problem.isEmpty())
            printLine(stderr, QStringLiteral("modemsim: %1").arg(problem));
    }
    const auto clientPath = [&sim, &hilink, &hilinkAddress] {
        if (hilink) {
            const QHostAddress& host = hilinkAddress->first;
            const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                                     ? QLatin1Char('[') + host.toString() + QLatin1Char(']')
                                     : host.toString();
            return QStringLiteral("http://%1:%2").arg(name).arg(hilink->port());
        }
        return sim.linkPath().isEmpty() ? sim.secondaryPath() : sim.linkPath();
    };
    printLine(stdout, clientPath());

    {
        ScenarioPlayer player(sim, sim.startedAt());
        player.setAfterStep([&](const ScenarioAction& action, const QString& problem) {
            if (!problem.isEmpty())
                printLine(stderr, QStringLiteral("modemsim: %1").arg(problem));
            else if (std::holds_alternative<action::Replug>(action))
                printLine(stdout, clientPath());
            if (std::holds_alternative<action::Quit>(action))
                kill(getpid(), SIGTERM);
        });
        for (const ScenarioStep& step : later)
            player.add(step);

        int stopPipe[2];
        if (pipe(stopPipe) != 0)
            return 1;
        std::thread input([&player, readFd = stopPipe[0]] { readStandardInput(player, readFd); });

        int signal = 0;
        sigwait(&stopSignals, &signal);
        [[maybe_unused]] const auto n = write(stopPipe[1], "x", 1);
        input.join();
        close(stopPipe[0]);
        close(stopPipe[1]);
    }
    hilink.reset();
    sim.stop();
    if (logFile)
        std::fclose(logFile);
    return 0;
}
