#include "tools/modemsim/HilinkServer.h"

#include <QCryptographicHash>
#include <QMetaObject>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <map>
#include <mutex>
#include <optional>

namespace modemsim
{

namespace
{

// A request is a few hundred bytes; anything far larger is a client gone wrong.
constexpr qsizetype kMaxHead = 16 * 1024;
constexpr qsizetype kMaxBody = 64 * 1024;

// HiLink's error codes that the pages here give.
constexpr int kNotSupported = 100002;
constexpr int kNotLoggedIn = 100003;
constexpr int kFormatError = 100005;
constexpr int kParameterError = 100006;
constexpr int kWrongPassword = 108006;
constexpr int kBadSession = 125002;
constexpr int kBadToken = 125003;

const QByteArray kLoginUser = "admin";

struct Request {
    QByteArray method, target, body;
    std::map<QByteArray, QByteArray> headers; // names in lower case

    QByteArray header(const QByteArray& name) const
    {
        const auto it = headers.find(name);
        return it == headers.end() ? QByteArray() : it->second;
    }
    QByteArray path() const
    {
        const qsizetype query = target.indexOf('?');
        return query < 0 ? target : target.left(query);
    }
};

struct Response {
    QByteArray status = "200 OK";
    QByteArray headers; // extra lines, each ending in CR LF
    QByteArray body;
};

// A complete request at the front of `data`, or nullopt while more must come; `bad` is set
// when what came is no HTTP request at all.
std::optional<Request> parseRequest(const QByteArray& data, bool& bad)
{
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        bad = data.size() > kMaxHead;
        return std::nullopt;
    }
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines[0].trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        bad = true;
        return std::nullopt;
    }
    Request r{requestLine[0], requestLine[1], {}, {}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0) {
            bad = true;
            return std::nullopt;
        }
        r.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
    }
    bool ok = true;
    const QByteArray lengthText = r.header("content-length");
    const qsizetype length = lengthText.isEmpty() ? 0 : lengthText.toLongLong(&ok);
    if (!ok || length < 0 || length > kMaxBody) {
        bad = true;
        return std::nullopt;
    }
    if (data.size() < headEnd + 4 + length)
        return std::nullopt;
    r.body = data.mid(headEnd + 4, length);
    return r;
}

QByteArray serialize(const Response& r)
{
    return "HTTP/1.1 " + r.status +
           "\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(r.body.size()) +
           "\r\nConnection: close\r\n" + r.headers + "\r\n" + r.body;
}

const QByteArray kXmlHead = R"(<?xml version="1.0" encoding="UTF-8"?>)";

Response xmlResponse(const QByteArray& inner)
{
    return {"200 OK", {}, kXmlHead + "<response>" + inner + "</response>"};
}

// HiLink answers its errors with 200 OK and this body.
Response xmlError(int code)
{
    return {"200 OK",
            {},
            kXmlHead + "<error><code>" + QByteArray::number(code) +
                "</code><message></message></error>"};
}

QByteArray element(const char* name, const QByteArray& value)
{
    return QByteArray("<") + name + '>' + value + "</" + name + '>';
}

QByteArray element(const char* name, const QString& value)
{
    return element(name, value.toHtmlEscaped().toUtf8());
}

// The text between <name> and </name> in a request body.
std::optional<QByteArray> field(const QByteArray& xml, const QByteArray& name)
{
    const QByteArray open = '<' + name + '>';
    const qsizetype start = xml.indexOf(open);
    const qsizetype end = xml.indexOf("</" + name + '>', start);
    if (start < 0 || end < 0)
        return std::nullopt;
    return xml.mid(start + open.size(), end - start - open.size());
}

QByteArray randomText(int length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray text(length, Qt::Uninitialized);
    for (char& c : text)
        c = alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)];
    return text;
}

QByteArray sha256Hex(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// A +CSQ index as the stick writes it in dBm; sticks mark the ends of the scale.
QByteArray rssiText(int rssi)
{
    if (rssi < 0 || rssi > 31)
        return {};
    if (rssi == 0)
        return "&lt;=-113dBm";
    if (rssi == 31)
        return "&gt;=-51dBm";
    return QByteArray::number(-113 + 2 * rssi) + "dBm";
}

// Tenths of a dB: "-11.0dB" always with its decimal (RSRQ), or whole when it is (SINR).
QByteArray tenthsText(int tenths, bool keepDecimal)
{
    if (!keepDecimal && tenths % 10 == 0)
        return QByteArray::number(tenths / 10) + "dB";
    return QByteArray::number(tenths / 10.0, 'f', 1) + "dB";
}

// The network type numbers HiLink uses in current-plmn's Rat and in signal's mode.
QByteArray ratNumber(Technology t)
{
    return QByteArray::number(static_cast<int>(t));
}

Response signalPage(const ModemState& s)
{
    const bool registered = s.isRegistered();
    const Technology on = s.technology();
    const bool lte = registered && on == Technology::Lte;
    const bool umts = registered && on == Technology::Umts;
    const bool knownRssi = s.rssi >= 0 && s.rssi <= 31;
    const QByteArray none;
    const auto lteOnly = [lte](const QByteArray& v) { return lte ? v : QByteArray(); };
    return xmlResponse(
        element("pci", lteOnly("43")) + element("sc", none) +
        element("cell_id", registered ? QByteArray::number(s.cellId) : none) +
        element("rsrq", lteOnly(tenthsText(s.lteQuality.rsrqTenths, true))) +
        element("rsrp", lteOnly(QByteArray::number(s.lteQuality.rsrpDbm) + "dBm")) +
        element("rssi", rssiText(s.rssi)) +
        element("sinr", lteOnly(tenthsText(s.lteQuality.sinrTenths, false))) +
        // The same figures as ^HCSQ's WCDMA line: RSCP 5 dB under the RSSI, Ec/Io -3 dB.
        element("rscp",
                umts && knownRssi ? QByteArray::number(-113 + 2 * s.rssi - 5) + "dBm" : none) +
        element("ecio", umts ? QByteArray("-3dB") : none) +
        element("mode", registered ? ratNumber(on) : none) +
        element("earfcn", lteOnly("DL:425 UL:18425")) +
        element("tac", lte ? QByteArray::number(s.lac) : none) + element("band", lteOnly("1")) +
        element("plmn", registered && s.hasOperator ? s.operatorNumeric : QString()));
}

// The older firmware's page for a 2G or 3G cell: its LAC and cell ID in hexadecimal.
Response signalParaPage(const ModemState& s)
{
    const bool registered = s.isRegistered();
    const auto hex = [registered](qint64 v) {
        return registered ? QByteArray::number(v, 16).toUpper() : QByteArray();
    };
    return xmlResponse(element("Lac", hex(s.lac)) + element("CellID", hex(s.cellId)));
}

Response plmnPage(const ModemState& s)
{
    if (!s.hasOperator || !s.isRegistered())
        return xmlResponse("<State>1</State><FullName></FullName><ShortName></ShortName>"
                           "<Numeric></Numeric><Rat></Rat>");
    return xmlResponse(element("State", QByteArray("0")) + element("FullName", s.operatorLong) +
                       element("ShortName", s.operatorShort) +
                       element("Numeric", s.operatorNumeric) +
                       element("Rat", ratNumber(s.technology())));
}

// SignalIcon: five bars at rssi 25 and up, four from 20, three from 15, two from 10, one from 2.
int signalIcon(int rssi)
{
    if (rssi < 2 || rssi > 31)
        return 0;
    return rssi >= 25 ? 5 : rssi >= 20 ? 4 : rssi >= 15 ? 3 : rssi >= 10 ? 2 : 1;
}

Response statusPage(const ModemState& s)
{
    const bool registered = s.isRegistered();
    // CurrentNetworkType: 0 no service, 1 GSM, 4 WCDMA, 19 LTE.
    int type = 0;
    if (registered)
        type = s.technology() == Technology::Lte ? 19 : s.technology() == Technology::Umts ? 4 : 1;
    return xmlResponse(
        element("ConnectionStatus", QByteArray(registered ? "901" : "902")) +
        element("SignalIcon", QByteArray::number(signalIcon(s.rssi))) +
        element("CurrentNetworkType", QByteArray::number(type)) +
        element("RoamingStatus", QByteArray(s.registration == Registration::Roaming ? "1" : "0")) +
        element("SimStatus", QByteArray("1")) + element("maxsignal", QByteArray("5")));
}

// NetworkMode as ^SYSCFG and ^SYSCFGEX leave it: a ^SYSCFG lock shows as "01" or "02".
QByteArray networkMode(const ModemState& s)
{
    if (s.sysCfg.mode == 13)
        return "01";
    if (s.sysCfg.mode == 14)
        return "02";
    return s.lteStick ? s.acquisitionOrder : QByteArray("00");
}

bool isHex(const QByteArray& text)
{
    bool ok = false;
    return !text.isEmpty() && text.size() <= 16 && text.toULongLong(&ok, 16) != 0 && ok;
}

// "00" alone, or "01" GSM, "02" WCDMA, "03" LTE in order of preference, as in ^SYSCFGEX; a 3G
// stick knows only "00", "01" and "02".
bool validMode(const QByteArray& mode, bool lteStick)
{
    if (mode == "00")
        return true;
    if (!lteStick)
        return mode == "01" || mode == "02";
    if (mode.isEmpty() || mode.size() % 2 != 0)
        return false;
    for (qsizetype i = 0; i < mode.size(); i += 2)
        if (const QByteArray code = mode.mid(i, 2); code != "01" && code != "02" && code != "03")
            return false;
    return true;
}

} // namespace

struct HilinkServer::Impl {
    ModemSimulator& sim;
    QThread thread;
    QObject* context = nullptr; // lives on `thread`; owns the server and its connections
    QTcpServer* server = nullptr;
    QHostAddress host;
    quint16 port = 0;
    bool wanted = false; // listen() succeeded: listen whenever plugged

    mutable std::mutex mutex; // guards the two below for the getters
    bool listening = false;
    QString error;

    std::function<void(const LogEntry&)> observer;
    std::map<QTcpSocket*, QByteArray> incoming;

    // The session, the token the next POST must carry, and the login.
    QByteArray sessionId;
    int sessionEpoch = 0;
    QByteArray token;
    bool loggedIn = false;

    explicit Impl(ModemSimulator& simulator) : sim(simulator) {}

    // Runs `f` on the server's thread and waits for it.
    void run(const std::function<void()>& f)
    {
        if (QThread::currentThread() == &thread)
            f();
        else
            QMetaObject::invokeMethod(context, f, Qt::BlockingQueuedConnection);
    }

    void setListening(bool on, const QString& why = {})
    {
        std::lock_guard lock(mutex);
        listening = on;
        if (!why.isEmpty())
            error = why;
    }

    bool startListening()
    {
        if (!server->listen(host, port)) {
            setListening(false, server->errorString());
            return false;
        }
        port = server->serverPort();
        setListening(true);
        return true;
    }

    // A pulled stick takes its web server and every connection to it along.
    void plugged(bool on)
    {
        if (!wanted)
            return;
        if (on && !server->isListening()) {
            startListening();
            return;
        }
        if (!on) {
            server->close();
            setListening(false);
            incoming.clear();
            for (QTcpSocket* socket : server->findChildren<QTcpSocket*>())
                socket->abort();
        }
    }

    void accept()
    {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            incoming[socket];
            QObject::connect(socket, &QTcpSocket::readyRead, context,
                             [this, socket] { readFrom(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, context, [this, socket] {
                incoming.erase(socket);
                socket->deleteLater();
            });
        }
    }

    void readFrom(QTcpSocket* socket)
    {
        const auto it = incoming.find(socket);
        if (it == incoming.end())
            return; // answered already; the rest is ignored
        it->second += socket->readAll();
        bool bad = false;
        const std::optional<Request> request = parseRequest(it->second, bad);
        if (!request && !bad)
            return;
        incoming.erase(it);
        LogEntry entry;
        entry.arrived = Clock::now();
        Response response{"400 Bad Request", {}, {}};
        if (request) {
            entry.command = request->method + ' ' + request->target;
            response = respond(*request);
        }
        entry.reply = response.body;
        const auto logged = std::make_shared<LogEntry>(std::move(entry));
        QObject::connect(socket, &QTcpSocket::bytesWritten, context, [this, socket, logged] {
            if (socket->bytesToWrite() > 0 || logged->fate != LogEntry::Fate::Pending)
                return;
            logged->fate = LogEntry::Fate::Written;
            logged->replied = Clock::now();
            if (observer && !logged->command.isEmpty())
                observer(*logged);
            socket->disconnectFromHost();
        });
        socket->write(serialize(response));
    }

    Response newSession(const ModemState& s)
    {
        sessionId = randomText(128);
        sessionEpoch = s.hilinkSessionEpoch;
        token = randomText(32);
        loggedIn = false;
        return xmlResponse(element("SesInfo", "SessionID=" + sessionId) +
                           element("TokInfo", token));
    }

    bool hasSession(const Request& r, const ModemState& s) const
    {
        if (sessionId.isEmpty() || sessionEpoch != s.hilinkSessionEpoch)
            return false;
        for (const QByteArray& cookie : r.header("cookie").split(';'))
            if (cookie.trimmed() == "SessionID=" + sessionId)
                return true;
        return false;
    }

    // A POST spends the token it carries; the reply names the one for the next POST.
    std::optional<Response> spendToken(const Request& r, QByteArray& nextTokenHeader)
    {
        if (r.header("__requestverificationtoken") != token || token.isEmpty())
            return xmlError(kBadToken);
        token = randomText(32);
        nextTokenHeader = "__RequestVerificationToken: " + token + "\r\n";
        return std::nullopt;
    }

    Response login(const Request& r, const ModemState& s)
    {
        const QByteArray spent = token;
        QByteArray tokenHeader;
        if (auto refused = spendToken(r, tokenHeader))
            return *refused;
        const auto user = field(r.body, "Username");
        const auto password = field(r.body, "Password");
        Response response = xmlError(kFormatError);
        if (user && password) {
            const QByteArray hashed = sha256Hex(s.hilinkPassword.toUtf8()).toBase64();
            const QByteArray expected = sha256Hex(*user + hashed + spent).toBase64();
            if (*user != kLoginUser || *password != expected) {
                response = xmlError(kWrongPassword);
            } else {
                // A login replaces the session, as the stick's own web pages expect.
                loggedIn = true;
                sessionId = randomText(128);
                response = xmlResponse("OK");
                tokenHeader += "__RequestVerificationTokenone: " + token + "\r\n" +
                               "Set-Cookie: SessionID=" + sessionId + "; path=/; HttpOnly\r\n";
            }
        }
        response.headers = tokenHeader;
        return response;
    }

    Response setNetMode(const Request& r)
    {
        QByteArray tokenHeader;
        if (auto refused = spendToken(r, tokenHeader))
            return *refused;
        const auto mode = field(r.body, "NetworkMode");
        const auto band = field(r.body, "NetworkBand");
        const auto lteBand = field(r.body, "LTEBand");
        Response response = xmlResponse("OK");
        if (!mode) {
            response = xmlError(kFormatError);
        } else {
            bool valid = true;
            sim.modifyState([&](ModemState& s) {
                valid = validMode(*mode, s.lteStick) && (!band || isHex(*band)) &&
                        (!lteBand || isHex(*lteBand));
                if (!valid)
                    return;
                // As ^SYSCFGEX does on a 4G stick and ^SYSCFG (modes 2, 13, 14) on a 3G one.
                if (s.lteStick) {
                    s.acquisitionOrder = *mode;
                    s.sysCfg.mode = 2;
                } else {
                    s.sysCfg.mode = *mode == "01" ? 13 : *mode == "02" ? 14 : 2;
                }
                if (band)
                    s.sysCfg.band = band->toULongLong(nullptr, 16);
            });
            if (!valid)
                response = xmlError(kParameterError);
        }
        response.headers = tokenHeader;
        return response;
    }

    Response respond(const Request& r)
    {
        const QByteArray path = r.path();
        const bool get = r.method == "GET";
        const bool post = r.method == "POST";
        const ModemState s = sim.state();
        if (get && path == "/api/webserver/SesTokInfo")
            return newSession(s);
        if (!path.startsWith("/api/"))
            return {"404 Not Found", {}, {}};
        if (!hasSession(r, s))
            return xmlError(kBadSession);
        if (get && path == "/api/user/state-login")
            return xmlResponse(element("State", QByteArray(loggedIn ? "0" : "-1")) +
                               element("Username", loggedIn ? kLoginUser : QByteArray()) +
                               element("password_type", QByteArray("4")));
        if (post && path == "/api/user/login")
            return login(r, s);
        if (!s.hilinkPassword.isEmpty() && !loggedIn)
            return xmlError(kNotLoggedIn);
        if (get && path == "/api/device/signal")
            return signalPage(s);
        if (get && path == "/api/net/signal-para")
            return signalParaPage(s);
        if (get && path == "/api/net/current-plmn")
            return plmnPage(s);
        if (get && path == "/api/monitoring/status")
            return statusPage(s);
        if (get && path == "/api/pin/status")
            return xmlResponse("<SimState>257</SimState><PinOptState>258</PinOptState>"
                               "<SimPinTimes>3</SimPinTimes><SimPukTimes>10</SimPukTimes>");
        if (get && path == "/api/net/net-mode")
            return xmlResponse(
                element("NetworkMode", networkMode(s)) +
                element("NetworkBand", QByteArray::number(s.sysCfg.band, 16).toUpper()) +
                element("LTEBand", QByteArray("7FFFFFFFFFFFFFFF")));
        if (post && path == "/api/net/net-mode")
            return setNetMode(r);
        return xmlError(kNotSupported);
    }
};

HilinkServer::HilinkServer(ModemSimulator& simulator) : d(std::make_unique<Impl>(simulator))
{
    d->context = new QObject;
    d->context->moveToThread(&d->thread);
    d->thread.start();
    d->run([this] {
        d->server = new QTcpServer(d->context);
        QObject::connect(d->server, &QTcpServer::newConnection, d->context,
                         [this] { d->accept(); });
    });
    d->sim.setPlugObserver(
        [this](bool plugged) { d->run([this, plugged] { d->plugged(plugged); }); });
}

HilinkServer::~HilinkServer()
{
    d->sim.setPlugObserver({});
    d->run([this] {
        delete d->context;
        d->context = nullptr;
    });
    d->thread.quit();
    d->thread.wait();
}

bool HilinkServer::listen(const QHostAddress& host, quint16 port)
{
    bool ok = false;
    d->run([&] {
        d->host = host;
        d->port = port;
        ok = d->startListening();
        d->wanted = ok;
        if (ok && !d->sim.isPlugged())
            d->plugged(false);
    });
    return ok;
}

bool HilinkServer::isListening() const
{
    std::lock_guard lock(d->mutex);
    return d->listening;
}

quint16 HilinkServer::port() const
{
    quint16 port = 0;
    d->run([&] { port = d->port; });
    return port;
}

QString HilinkServer::errorString() const
{
    std::lock_guard lock(d->mutex);
    return d->error;
}

void HilinkServer::setLogObserver(std::function<void(const LogEntry&)> observer)
{
    d->run([&] { d->observer = std::move(observer); });
}

} // namespace modemsim
