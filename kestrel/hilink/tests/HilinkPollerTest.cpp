// Rounds of requests to a HiLink stick's API played by a small HTTP server on 127.0.0.1.
#include "kestrel/hilink/HilinkPoller.h"

#include "platform/web/tests/LocalHttpServer.h"
#include "tests/support/TextPrinter.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace
{

int argc = 1;
char name[] = "tests";
char* argv[] = {name, nullptr};

LocalHttpServer::Reply xml(const QByteArray& body, int status = 200)
{
    return {status, "text/xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body, {}, false};
}

const LocalHttpServer::Reply kSession =
    xml("<response><SesInfo>SessionID=s1</SesInfo><TokInfo>t1</TokInfo></response>");
const LocalHttpServer::Reply kSignal = xml(
    "<response><rssi>-61dBm</rssi><rsrp>-86dBm</rsrp><sinr>10dB</sinr><mode>7</mode></response>");
const LocalHttpServer::Reply kPlmn = xml("<response><State>0</State><FullName>T-Mobile</FullName>"
                                         "<Numeric>310260</Numeric><Rat>7</Rat></response>");
const LocalHttpServer::Reply kExpired = xml("<error><code>125002</code></error>");
const LocalHttpServer::Reply kHeld{200, "text/xml", "", {}, true}; // never answered

// Each way a round ends, and the requests it took: a session only when there was none, a new
// one once when the stick says the session expired.
TEST(HilinkPoller, EachRoundEndsInAReadingOrSaysWhyNot)
{
    QCoreApplication app(argc, argv);
    const struct {
        const char* name;
        LocalHttpServer::Reply signal;
        HilinkRound::Outcome outcome;
        int sessions; // SesTokInfo requests in the second round
    } rows[] = {
        {"Signal", kSignal, HilinkRound::Outcome::Read, 0},
        {"SessionExpired", kExpired, HilinkRound::Outcome::NoReply, 1},
        {"PasswordRequired", xml("<error><code>100003</code></error>"),
         HilinkRound::Outcome::PasswordRequired, 0},
        {"HttpError", xml("<response/>", 500), HilinkRound::Outcome::NoReply, 0},
        {"TenMegabytes", xml("<response>" + QByteArray(10 << 20, ' ') + "</response>"),
         HilinkRound::Outcome::NoReply, 0},
        {"NoAnswerWithinASecond", kHeld, HilinkRound::Outcome::NoReply, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LocalHttpServer stick;
        stick.route("/api/webserver/SesTokInfo", kSession);
        stick.route("/api/device/signal", kSignal);
        stick.route("/api/net/current-plmn", kPlmn);
        HilinkPoller poller(QUrl(stick.base()));
        QSignalSpy rounds(&poller, &HilinkPoller::roundDone);
        poller.poll();
        ASSERT_TRUE(rounds.wait(3000));
        stick.route("/api/device/signal", row.signal);
        stick.targets.clear();
        poller.poll();
        ASSERT_TRUE(rounds.wait(3000));
        const auto round = rounds.last().first().value<HilinkRound>();
        EXPECT_EQ(round.outcome, row.outcome) << round.why.toStdString();
        EXPECT_EQ(stick.targets.count("/api/webserver/SesTokInfo"), row.sessions);
        EXPECT_TRUE(round.outcome != HilinkRound::Outcome::Read ||
                    (round.signal.rsrpDbm == -86 && round.operatorName == "T-Mobile" &&
                     round.numeric == "310260" && round.rat == 7));
    }
}

} // namespace
