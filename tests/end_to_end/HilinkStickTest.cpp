// The HiLink poller against the simulator's HiLink stick on 127.0.0.1: what a round reads of a
// 4G stick, a session that expires between rounds, a stick that wants its password until its
// user logs in, and a network mode set with the tokens the login handed out.
#include "kestrel/hilink/HilinkPoller.h"
#include "tests/support/CoreApp.h"
#include "tools/modemsim/HilinkServer.h"
#include "tools/modemsim/LteStick.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace
{

TEST(HilinkStick, RoundsReadA4gStickThroughAnExpiredSessionAndALogin)
{
    CoreApp app;
    modemsim::ModemSimulator sim;
    ASSERT_TRUE(sim.start());
    sim.modifyState(modemsim::useLteStick);
    modemsim::HilinkServer stick(sim);
    ASSERT_TRUE(stick.listen(QHostAddress::LocalHost, 0)) << stick.errorString().toStdString();
    HilinkPoller poller(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(stick.port())));
    QSignalSpy rounds(&poller, &HilinkPoller::roundDone);
    const auto round = [&] {
        poller.poll();
        EXPECT_TRUE(rounds.wait(3000));
        return rounds.isEmpty() ? HilinkRound{} : rounds.takeFirst().first().value<HilinkRound>();
    };

    const HilinkRound first = round();
    ASSERT_EQ(first.outcome, HilinkRound::Outcome::Read) << first.why.toStdString();
    EXPECT_EQ(first.signal.mode, 7);
    EXPECT_EQ(first.signal.rsrpDbm, -96);
    EXPECT_EQ(first.signal.sinrDb, 16.0);
    EXPECT_EQ(hilink::levelIndexOfRssi(*first.signal.rssiDbm), 20);
    EXPECT_EQ(first.signal.cellId, "27447297");
    EXPECT_EQ(QStringList({first.operatorName, first.numeric}),
              QStringList({"T-Mobile", "310260"}));

    sim.modifyState([](modemsim::ModemState& s) { ++s.hilinkSessionEpoch; });
    EXPECT_EQ(round().outcome, HilinkRound::Outcome::Read) << "a new session, in the same round";

    sim.modifyState([](modemsim::ModemState& s) { s.hilinkPassword = QStringLiteral("secret"); });
    EXPECT_EQ(round().outcome, HilinkRound::Outcome::PasswordRequired);

    QSignalSpy logins(&poller, &HilinkPoller::loggedIn);
    QSignalSpy modes(&poller, &HilinkPoller::networkModeSet);
    poller.logIn(QStringLiteral("not it"));
    poller.logIn(QStringLiteral("secret"));
    poller.setNetworkMode(QStringLiteral("02"));
    ASSERT_TRUE(modes.wait(3000));
    ASSERT_EQ(logins.size(), 2);
    EXPECT_EQ(logins[0], QVariantList({false, "wrong password"}));
    EXPECT_EQ(logins[1], QVariantList({true, ""}));
    EXPECT_EQ(modes[0], QVariantList({true, ""}));
    EXPECT_EQ(sim.state().acquisitionOrder, "02");
    EXPECT_EQ(round().outcome, HilinkRound::Outcome::Read) << "logged in";
}

} // namespace
