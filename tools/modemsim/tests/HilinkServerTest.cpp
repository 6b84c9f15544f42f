#include "tools/modemsim/HilinkServer.h"

#include "tests/support/CoreApp.h"
#include "tools/modemsim/ScenarioPlayer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

using namespace modemsim;

namespace
{

// One request on a fresh loopback connection; the whole reply, or nullopt when refused.
std::optional<QByteArray> exchange(quint16 port, const QByteArray& request)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::optional<QByteArray> reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        write(fd, request.constData(), size_t(request.size())) == request.size()) {
        reply.emplace();
        char buffer[4096];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
            reply->append(buffer, n);
    }
    close(fd);
    return reply;
}

QByteArray captured(const QByteArray& reply, const char* pattern)
{
    return QRegularExpression(QLatin1String(pattern))
        .match(QString::fromLatin1(reply))
        .captured(1)
        .toLatin1();
}

QByteArray hashed(const QByteArray& text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toBase64();
}

} // namespace

// A client's walk through the pages, each row after the previous one on the same stick: the
// session and token a reply hands out are what the next rows send.
TEST(HilinkServer, AnswersFromTheStickAndGuardsItsPages)
{
    CoreApp app;
    ModemSimulator sim;
    ASSERT_TRUE(sim.start());
    HilinkServer server(sim);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0)) << server.errorString().toStdString();
    const quint16 port = server.port();

    enum Send { Bare, Session, Token }; // no cookie; the session's cookie; and the token too
    const struct {
        const char* step; // a scenario line applied first, or ""
        const char* request;
        Send send;
        const char* body;     // "login:<password>" is the login body for that password
        const char* expected; // in the reply; nullptr: the connection is refused
    } rows[] = {
        {"network lte", "GET /api/webserver/SesTokInfo", Bare, "", "</TokInfo></response>"},
        {"rssi 0", "GET /api/device/signal", Session, "",
         "<pci>43</pci><sc></sc><cell_id>27447297</cell_id><rsrq>-11.0dB</rsrq><rsrp>-96dBm</rsrp>"
         "<rssi>&lt;=-113dBm</rssi><sinr>16dB</sinr><rscp></rscp><ecio></ecio><mode>7</mode>"
         "<earfcn>DL:425 UL:18425</earfcn><tac>6699</tac><band>1</band><plmn>310260</plmn>"},
        {"", "GET /api/net/current-plmn", Bare, "", "<code>125002</code>"},
        {"hilink expire-session", "GET /api/net/current-plmn", Session, "", "<code>125002</code>"},
        {"hilink password secret", "GET /api/webserver/SesTokInfo", Bare, "", "<TokInfo>"},
        {"", "GET /api/device/signal", Session, "", "<code>100003</code>"},
        {"", "POST /api/user/login", Token, "login:wrong", "<code>108006</code>"},
        {"", "POST /api/user/login", Token, "login:secret", "<response>OK</response>"},
        {"", "GET /api/user/state-login", Session, "", "<State>0</State><Username>admin<"},
        {"", "POST /api/net/net-mode", Session, "<request><NetworkMode>01</NetworkMode></request>",
         "<code>125003</code>"},
        {"", "POST /api/net/net-mode", Token, "<request><NetworkMode>01</NetworkMode></request>",
         "<response>OK</response>"},
        {"", "GET /api/monitoring/status", Session, "",
         "<SignalIcon>0</SignalIcon><CurrentNetworkType>1</CurrentNetworkType>"},
        {"unplug", "GET /api/pin/status", Session, "", nullptr},
        {"replug", "GET /api/pin/status", Session, "", "<SimState>257</SimState>"},
    };
    QByteArray session, token;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.request);
        if (*row.step) {
            const ParsedLine step = parseScenarioLine(QString::fromLatin1(row.step));
            ASSERT_EQ(applyAction(sim, step.step->action), QString());
        }
        QByteArray body = row.body;
        if (body.startsWith("login:"))
            body = "<request><Username>admin</Username><Password>" +
                   hashed("admin" + hashed(body.mid(6)) + token) +
                   "</Password><password_type>4</password_type></request>";
        QByteArray request = QByteArray(row.request) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        if (row.send != Bare)
            request += "Cookie: SessionID=" + session + "\r\n";
        if (row.send == Token)
            request += "__RequestVerificationToken: " + token + "\r\n";
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        const std::optional<QByteArray> reply = exchange(port, request);
        if (!row.expected) {
            EXPECT_FALSE(reply);
            continue;
        }
        ASSERT_TRUE(reply);
        EXPECT_TRUE(reply->contains(row.expected)) << reply->toStdString();
        for (const char* pattern :
             {"SessionID=([A-Za-z0-9]+)", "<TokInfo>(\\w+)<", "__RequestVerificationToken: (\\w+)"})
            if (const QByteArray value = captured(*reply, pattern); !value.isEmpty())
                (*pattern == 'S' ? session : token) = value;
    }
}
