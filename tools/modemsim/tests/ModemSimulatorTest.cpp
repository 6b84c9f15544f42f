#include "tools/modemsim/ModemSimulator.h"

#include "tools/modemsim/ScenarioPlayer.h"
#include "tools/modemsim/tests/PtyClient.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace modemsim;
using namespace std::chrono_literals;

namespace
{

class ModemSimulatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorString().toStdString();
        reopen();
        ASSERT_TRUE(sim.isClientConnected());
    }
    void reopen()
    {
        client = std::make_unique<PtyClient>(sim.secondaryPath());
        ASSERT_TRUE(client->isOpen());
    }
    // One exchange: the command with its CR, then everything up to its "OK".
    QByteArray exchange(const QByteArray& command)
    {
        client->write(command + '\r');
        return client->readUntil("OK\r\n");
    }

    ModemSimulator sim;
    std::unique_ptr<PtyClient> client;
};

TEST_F(ModemSimulatorTest, UnsolicitedLinesComeBetweenReplies)
{
    sim.setEcho(false);
    sim.setUnsolicited(Unsolicited::Rssi, true, 30ms);
    EXPECT_TRUE(client->readUntil("^RSSI:20\r\n").endsWith("\r\n^RSSI:20\r\n"));
    sim.setRssi(7); // a change is reported at once
    EXPECT_TRUE(client->readUntil("^RSSI:7\r\n").endsWith("\r\n^RSSI:7\r\n"));
    // Whatever reports fall between, each reply arrives whole.
    for (int i = 0; i < 5; ++i) {
        const QByteArray text = exchange("AT+CSQ");
        EXPECT_TRUE(text.endsWith("\r\n+CSQ: 7,99\r\n\r\nOK\r\n")) << text.constData();
    }
}

TEST_F(ModemSimulatorTest, SplitRepliesSilenceGarbageAndFloods)
{
    sim.setEcho(false);
    sim.setLatency(0ms);
    sim.setReplySplit(ReplySplit::PerLine, 300ms);
    client->write("AT+CSQ\r");
    EXPECT_EQ(client->readUntil("20,99\r\n"), "\r\n+CSQ: 20,99\r\n");
    EXPECT_EQ(client->readBytes(1, 0), ""); // "OK" is still held back
    EXPECT_EQ(client->readUntil("OK\r\n"), "\r\nOK\r\n");
    ASSERT_TRUE(sim.waitForReplies(1, 2000));
    const LogEntry e = sim.log().at(0);
    EXPECT_GE(e.replied - e.arrived, 300ms);

    // Silence swallows commands until it ends.
    sim.setReplySplit(ReplySplit::Whole, 0ms);
    sim.setEcho(true);
    sim.silenceForever();
    client->write("AT+CSQ\r");
    ASSERT_TRUE(sim.waitForCommands(2, 2000));
    EXPECT_EQ(sim.log().at(1).fate, LogEntry::Fate::Dropped);
    sim.endSilence();
    // Neither the echo nor the reply of the swallowed command ever comes.
    EXPECT_EQ(exchange("AT"), "AT\r\r\nOK\r\n");

    sim.silenceFor(150ms);
    client->write("AT\r");
    ASSERT_TRUE(sim.waitForCommands(4, 2000));
    EXPECT_FALSE(sim.log().at(3).answered());
    while (sim.isSilent())
        EXPECT_EQ(client->readBytes(1, 10), "");
    EXPECT_EQ(exchange("AT+CSQ"), "AT+CSQ\r\r\n+CSQ: 20,99\r\n\r\nOK\r\n");

    // Garbage and floods deliver their bytes.
    sim.sendGarbage(100);
    EXPECT_EQ(client->readBytes(100).size(), 100);
    sim.flood(64 * 1024, 0);
    EXPECT_EQ(client->readBytes(64 * 1024, 3000).size(), 64 * 1024);
    sim.flood(3000, 20000);
    EXPECT_EQ(client->readBytes(3000, 3000).size(), 3000);
    sim.sendRaw("OK\r\n"); // and not a byte more of the flood before it
    EXPECT_EQ(client->readUntil("OK\r\n"), "OK\r\n");
}

// What becomes of a reply due when the client closes the port: lost while nobody holds it,
// the next holder's when it reopens at once, and never bytes the last holder left unread.
TEST_F(ModemSimulatorTest, RepliesAcrossClosingAndReopening)
{
    // Nobody holds the port.
    sim.setLatency(100ms);
    client->write("AT+CSQ\r");
    ASSERT_TRUE(sim.waitForCommands(1, 2000));
    client->close();
    ASSERT_TRUE(sim.waitForSettled(1, 2000));
    EXPECT_EQ(sim.log().at(0).fate, LogEntry::Fate::Dropped);

    // Bytes left unread.
    sim.setLatency(0ms);
    reopen();
    client->write("AT+CSQ\r");
    ASSERT_TRUE(sim.waitForReplies(1, 2000));
    client->close(); // echo and reply unread
    ASSERT_TRUE(sim.waitForClient(false, 2000));
    reopen();
    EXPECT_EQ(exchange("AT"), "AT\r\r\nOK\r\n");

    // A quick reopen.
    sim.setEcho(false);
    sim.setLatency(400ms);
    client->write("AT+CSQ\r");
    ASSERT_TRUE(sim.waitForCommands(4, 2000));
    reopen(); // closes and at once opens again, as the monitor does on a pick of its port
    EXPECT_EQ(client->readUntil("OK\r\n"), "\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
    EXPECT_TRUE(sim.log().at(3).answered());
}

// An unplug fails the client's reads and writes. The link follows the stick as udev's name
// would: gone while it is unplugged, back on a replug, beside the old one under the name a
// scenario's replug gives, gone when it stops. It never replaces a file.
TEST(ModemSimulatorLink, FollowsUnplugAndReplugAndGoesWithStop)
{
    QTemporaryDir dir;
    ModemSimulator sim;
    const QString file = dir.filePath("precious");
    QFile(file).open(QIODevice::WriteOnly);
    sim.setLinkPath(file);
    EXPECT_FALSE(sim.start());
    EXPECT_TRUE(QFileInfo(file).isFile());

    const QString link = dir.filePath("ttyUSB1");
    sim.setLinkPath(link);
    ASSERT_TRUE(sim.start()) << sim.errorString().toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.secondaryPath());
    {
        // The client holds on, and so keeps the old number taken: the new one differs.
        PtyClient held(link);
        const QString oldPath = sim.secondaryPath();
        sim.unplug();
        EXPECT_TRUE(held.readFails());
        EXPECT_FALSE(held.write("AT\r"));
        EXPECT_FALSE(QFileInfo::exists(oldPath));
        EXPECT_TRUE(sim.secondaryPath().isEmpty());
        EXPECT_FALSE(QFileInfo(link).isSymLink());
        ASSERT_TRUE(sim.replug());
    }
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.secondaryPath());
    PtyClient client(link);
    client.write("AT\r");
    EXPECT_EQ(client.readUntil("OK\r\n"), "AT\r\r\nOK\r\n");

    sim.unplug();
    EXPECT_EQ(applyAction(sim, parseScenarioLine("replug ttyUSB3").step->action), QString());
    const QString moved = dir.filePath("ttyUSB3");
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(moved).symLinkTarget(), sim.secondaryPath());
    EXPECT_EQ(sim.linkPath(), moved);
    sim.stop();
    EXPECT_FALSE(QFileInfo(moved).isSymLink());
}

} // namespace
