#include "kestrel/serial/OpeningSequence.h"

#include "platform/serial/FakeCommControl.h"

#include <gtest/gtest.h>

namespace
{

TEST(OpeningSequence, OpensTheNumberedPortAndKeepsItForATextThatIsNoNumber)
{
    FakeCommControl port;
    const auto opened = openPort(port, QStringLiteral("7"));
    EXPECT_FALSE(opened.failed);
    EXPECT_TRUE(opened.reason.isEmpty());
    EXPECT_EQ(port.CommPort(), 7);
    EXPECT_EQ(port.settings, QStringLiteral("128000,N,8,1"));
    EXPECT_TRUE(port.PortOpen());

    ASSERT_TRUE(port.setPortOpen(false));
    const auto result = openPort(port, QStringLiteral("hu"));
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.reason, QStringLiteral("\"hu\" is not a port number"));
    EXPECT_EQ(port.CommPort(), 7);
    // The later steps still ran on the old number; the opening counts as failed all the same.
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.openCount, 2);
}

TEST(OpeningSequence, AFailingStepFailsTheOpeningWithItsReasonAndDoesNotCarryOver)
{
    FakeCommControl port;
    port.failingPorts << 9;
    const auto result = openPort(port, QStringLiteral("9"));
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.reason, QStringLiteral("cannot open port"));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_FALSE(openPort(port, QStringLiteral("8")).failed);
}

} // namespace
