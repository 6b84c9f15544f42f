// Rounds of requests to a HiLink stick's API played by a small HTTP server on 127.0.0.1.
#include "kestrel/hilink/HilinkPoller.h"

#include "platform/web/tests/LocalHttpServer.h"
#include "tests/support/CoreApp.h"
#include "tests/support/TextPrinter.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace
{

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

void routeReadableStick(LocalHttpServer& stick)
{
    stick.route("/api/webserver/SesTokInfo", kSession);
    stick.route("/api/pin/status", xml("<response><SimState>257</SimState></response>"));
    stick.route("/api/device/signal", kSignal);
    stick.route("/api/net/current-plmn", kPlmn);
}

// The round `poller` plays next; none when it does not end within 3 s.
std::optional<HilinkRound> nextRound(HilinkPoller& poller)
{
    QSignalSpy rounds(&poller, &HilinkPoller::roundDone);
    poller.poll();
    if (!rounds.wait(3000)) {
        return std::nullopt;
    }
    return rounds.last().first().value<HilinkRound>();
}

// Each way a round ends, and the requests it took: a session only when there was none, a new
// one once when the stick says the session expired.
TEST(HilinkPoller, EachRoundEndsInAReadingOrSaysWhyNot)
{
    CoreApp app;
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
        routeReadableStick(stick);
        HilinkPoller poller(QUrl(stick.base()));
        ASSERT_TRUE(nextRound(poller));
        stick.route("/api/device/signal", row.signal);
        stick.targets.clear();
        const auto round = nextRound(poller);
        ASSERT_TRUE(round);
        EXPECT_EQ(round->outcome, row.outcome) << round->why.toStdString();
        EXPECT_EQ(stick.targets.count("/api/webserver/SesTokInfo"), row.sessions);
        EXPECT_TRUE(round->outcome != HilinkRound::Outcome::Read ||
                    (round->signal.rsrpDbm == -86 && round->operatorName == "T-Mobile" &&
                     round->numeric == "310260" && round->rat == 7));
    }
}

// Without a TAC on the signal page (a 2G or 3G cell) a round asks signal-para for the LAC; a
// stick without that page (HTTP 404) still gives its reading.
TEST(HilinkPoller, AsksSignalParaOnlyWithoutATac)
{
    CoreApp app;
    const auto para = xml("<response><Lac>1A2B</Lac><CellID>1AC4E05</CellID></response>");
    const auto noPage = xml("no such page", 404);
    const struct {
        const char* name;
        QByteArray signal;
        LocalHttpServer::Reply para;
        qsizetype asked;
        hilink::CellArea area;
    } rows[] = {
        {"LTE", "<mode>7</mode><tac>6699</tac>", para, 0, {}},
        {"3G", "<mode>2</mode>", para, 1, {"6699", "28069381"}},
        {"3G, no such page", "<mode>2</mode>", noPage, 1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LocalHttpServer stick;
        routeReadableStick(stick);
        stick.route("/api/device/signal", xml("<response>" + row.signal + "</response>"));
        stick.route("/api/net/signal-para", row.para);
        HilinkPoller poller(QUrl(stick.base()));
        const auto round = nextRound(poller);
        ASSERT_TRUE(round);
        EXPECT_EQ(round->outcome, HilinkRound::Outcome::Read) << round->why.toStdString();
        EXPECT_EQ(stick.targets.count("/api/net/signal-para"), row.asked);
        EXPECT_EQ(round->area, row.area);
    }
}

// The SIM's lock is asked after a new session, and again in each of two rounds while locked.
TEST(HilinkPoller, ASimWantingItsPinOrPukEndsTheRound)
{
    CoreApp app;
    const struct {
        QByteArray simState;
        HilinkRound::Outcome outcome;
        int asked;
    } rows[] = {{"257", HilinkRound::Outcome::Read, 1},
                {"260", HilinkRound::Outcome::PinRequired, 2},
                {"261", HilinkRound::Outcome::PinRequired, 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.simState.data());
        LocalHttpServer stick;
        routeReadableStick(stick);
        stick.route("/api/pin/status",
                    xml("<response><SimState>" + row.simState + "</SimState></response>"));
        HilinkPoller poller(QUrl(stick.base()));
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(nextRound(poller).value_or(HilinkRound{}).outcome, row.outcome);
        }
        EXPECT_EQ(stick.targets.count("/api/pin/status"), row.asked);
    }
}

// The mode goes with the bands the stick reported, and each POST spends a token: the one the
// last reply handed, or a new session's.
TEST(HilinkPoller, NetworkModeIsPostedWithTheStickBandsAndAToken)
{
    CoreApp app;
    LocalHttpServer::Reply handsT2 = xml("<response>OK</response>");
    handsT2.headers = {{"__RequestVerificationToken", "t2"}};
    const struct {
        const char* name;
        LocalHttpServer::Reply posted;
        bool ok;
        QByteArray nextToken;
        int sessions;
    } rows[] = {
        {"Set", handsT2, true, "t2", 1},
        {"Refused", xml("<error><code>100006</code></error>"), false, "t1", 2},
        {"NoAnswerWithinASecond", kHeld, false, "t1", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LocalHttpServer stick;
        routeReadableStick(stick);
        stick.route("/api/net/net-mode",
                    xml("<response><NetworkBand>3F</NetworkBand><LTEBand>45</LTEBand></response>"));
        stick.route("POST /api/net/net-mode", row.posted);
        HilinkPoller poller(QUrl(stick.base()));
        QSignalSpy answers(&poller, &HilinkPoller::networkModeSet);
        poller.setNetworkMode("0302");
        poller.setNetworkMode("0302");
        while (answers.size() < 2 && answers.wait(3000)) {
        }
        ASSERT_EQ(answers.size(), 2);
        EXPECT_EQ(answers[0][0].toBool(), row.ok);
        // The session, the mode's GET, its POST; the second POST is last.
        const QByteArray first = stick.requests.value(2), second = stick.requests.last();
        EXPECT_TRUE(first.contains("\r\n__RequestVerificationToken: t1\r\n"));
        EXPECT_TRUE(first.endsWith("<request><NetworkMode>0302</NetworkMode><NetworkBand>3F"
                                   "</NetworkBand><LTEBand>45</LTEBand></request>"));
        EXPECT_TRUE(second.startsWith("POST") &&
                    second.contains("\r\n__RequestVerificationToken: " + row.nextToken));
        EXPECT_EQ(stick.targets.count("/api/webserver/SesTokInfo"), row.sessions);
    }
}

TEST(HilinkPoller, ALoginAskedMidRoundWaitsForTheRoundToEnd)
{
    CoreApp app;
    LocalHttpServer stick;
    routeReadableStick(stick);
    stick.route("/api/device/signal", kHeld);
    stick.route("/api/user/state-login", xml("<response><password_type>0</password_type>"
                                             "</response>"));
    stick.route("/api/user/login", xml("<response>OK</response>"));
    HilinkPoller poller(QUrl(stick.base()));
    QSignalSpy rounds(&poller, &HilinkPoller::roundDone);
    QSignalSpy logins(&poller, &HilinkPoller::loggedIn);
    poller.poll();
    poller.logIn("secret");
    ASSERT_TRUE(rounds.wait(3000));
    EXPECT_EQ(stick.targets.count("/api/user/state-login"), 0) << "asked while a request was";
    ASSERT_TRUE(logins.wait(3000));
    EXPECT_TRUE(logins[0][0].toBool());
    // Firmware older than password type 4 takes the password in base64.
    EXPECT_TRUE(stick.requests.last().contains("<Password>c2VjcmV0</Password>"));
}

} // namespace
