#include "kestrel/polling/Queries.h"

#include "kestrel/at/tests/QtPrinters.h"
#include "platform/serial/FakeCommControl.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace
{

// The main window reduced to what the queries write, driven the way the README tells Form1 to:
// PCOPS -> PCSQ -> PCGREG, with Timer1 as a flag.
struct ScriptedWindow {
    FakeCommControl port;
    AtTransaction transaction{port};
    at::CopsState cops;
    at::CsqState csq;
    at::CgregState cgreg;

    QString lblCops, lblCsq, lblMcc, lblMnc, lblLac, lblCellId, text1;
    QColor copsColour;
    int barValue = 1;
    at::DbmLevel levelDbm;
    bool percentMode = false;
    bool timer1 = true;

    // (value - minimum) / (maximum - minimum) x 100 within 0 and 100, for the bar's 1 to 30.
    double barPercentage() const { return std::clamp((barValue - 1) / 29.0 * 100.0, 0.0, 100.0); }

    void apply(const at::DisplayWrites& d)
    {
        for (auto [write, label] : {std::pair{&d.lblCops, &lblCops},
                                    {&d.lblCsq, &lblCsq},
                                    {&d.lblMcc, &lblMcc},
                                    {&d.lblMnc, &lblMnc},
                                    {&d.lblLac, &lblLac},
                                    {&d.lblCellId, &lblCellId},
                                    {&d.text1, &text1}}) {
            if (*write) {
                *label = **write;
            }
        }
        if (d.technologyColour) {
            copsColour = *d.technologyColour;
        }
        if (d.barValue) {
            barValue = *d.barValue;
        }
        if (d.lblCsqFromBarPercentage) {
            lblCsq = at::percentCaption(barPercentage());
        }
        if (d.levelDbm) {
            levelDbm = *d.levelDbm;
        }
    }

    void PCOPS()
    {
        const at::CopsOutcome out = queryOperator(transaction, cops);
        cops = out.state;
        apply(out.display);
        if (out.runPcsq) {
            PCSQ();
        }
    }
    void PCSQ()
    {
        timer1 = false;
        const at::CsqOutcome out = querySignal(transaction, cops, csq, percentMode);
        csq = out.state;
        apply(out.display);
        if (out.runPcgreg) {
            PCGREG();
        } else {
            timer1 = true;
        }
    }
    void PCGREG()
    {
        const at::CgregOutcome out = queryRegistration(transaction, cops, cgreg);
        cgreg = out.state;
        apply(out.display);
        timer1 = true;
    }

    void script(std::initializer_list<QString> replies)
    {
        port.scriptedReads.insert(port.scriptedReads.end(), replies.begin(), replies.end());
    }
};

const QString kOk = QStringLiteral("\r\nOK\r\n");
const QString kNameReply = QStringLiteral("\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n");
const QString kCodeReply = QStringLiteral("\r\n+COPS: 0,2,\"00101\",2\r\n\r\nOK\r\n");
const QString kCsq20 = QStringLiteral("\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
const QString kCgreg = QStringLiteral("\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n");

class PollingCycle : public testing::Test
{
protected:
    void SetUp() override { w.port.setPortOpen(true); }

    void runGoodCycles()
    {
        w.script({kNameReply, kOk, kCsq20, kOk, kCgreg, kCodeReply, kOk, kCsq20, kOk, kCgreg});
        w.PCOPS();
        w.PCOPS();
    }

    ScriptedWindow w;
};

TEST_F(PollingCycle, TwoCyclesShowNameCodeLevelAndCell)
{
    runGoodCycles();

    EXPECT_EQ(w.lblCops, QStringLiteral("Mobile Net (3G)"));
    EXPECT_EQ(w.copsColour, QColor(0, 0, 255));
    EXPECT_EQ(w.lblMcc, QStringLiteral("001"));
    EXPECT_EQ(w.lblMnc, QStringLiteral("01"));
    EXPECT_EQ(w.lblCsq, QStringLiteral("  -73db"));
    EXPECT_EQ(w.barValue, 20);
    EXPECT_EQ(at::levelDbmText(w.levelDbm), QStringLiteral("-73"));
    EXPECT_EQ(w.lblLac, QStringLiteral("6699"));
    EXPECT_EQ(w.lblCellId, QStringLiteral("12834021"));
    EXPECT_EQ(w.text1, kCsq20) << "the raw view holds the signal reply";
    EXPECT_TRUE(w.timer1);
    const QStringList cycle = {"AT+CSQ\r", "AT+CGREG=2\r", "AT+CGREG?\r"};
    EXPECT_EQ(w.port.written, QStringList({"AT+COPS?\r", "AT+COPS=0,2\r"}) + cycle +
                                  QStringList({"AT+COPS?\r", "AT+COPS=0,0\r"}) + cycle);
}

TEST_F(PollingCycle, On4GTheCellComesFromCereg)
{
    w.script({QStringLiteral("\r\n+COPS: 0,2,\"310260\",7\r\n\r\nOK\r\n"), kOk, kCsq20, kOk,
              QStringLiteral("\r\n+CEREG: 2,1,\"1A2B\",\"01A2D001\",7\r\n\r\nOK\r\n")});

    w.PCOPS();

    EXPECT_EQ(w.port.written, QStringList({"AT+COPS?\r", "AT+COPS=0,0\r", "AT+CSQ\r",
                                           "AT+CEREG=2\r", "AT+CEREG?\r"}));
    EXPECT_EQ(w.lblMcc + w.lblMnc, QStringLiteral("310260"));
    EXPECT_EQ(w.lblLac, QStringLiteral("6699"));
    EXPECT_EQ(w.lblCellId, QStringLiteral("27447297"));
}

TEST_F(PollingCycle, NoOperatorClearsEverythingAndEndsTheCycle)
{
    runGoodCycles();
    w.port.written.clear();
    w.script({QStringLiteral("\r\n+COPS: 0\r\n\r\nOK\r\n")});

    w.PCOPS();

    EXPECT_EQ(w.port.written, QStringList{"AT+COPS?\r"});
    for (const QString& label : {w.lblCops, w.lblCsq, w.lblMcc, w.lblMnc, w.lblLac, w.lblCellId}) {
        EXPECT_EQ(label, QString());
    }
    EXPECT_EQ(w.barValue, 0);
    EXPECT_EQ(at::levelDbmText(w.levelDbm), QString()) << "no stale level without a network";
    EXPECT_TRUE(w.timer1) << "Timer1 was never disabled";
}

TEST_F(PollingCycle, SilentModemChangesNothingAndSendsNoSwitch)
{
    runGoodCycles();
    w.port.written.clear();
    const int readsBefore = w.port.readCount;

    w.PCOPS();

    EXPECT_EQ(w.port.written, QStringList{"AT+COPS?\r"});
    EXPECT_EQ(w.port.readCount - readsBefore, AtTransaction::kReadLimit);
    EXPECT_EQ(w.lblCsq, QStringLiteral("  -73db"));
    EXPECT_EQ(w.lblLac, QStringLiteral("6699"));
    EXPECT_EQ(w.text1, QString());
}

TEST_F(PollingCycle, EmptyOperatorSkipsRegistrationAndReenablesTimer1)
{
    w.script({QStringLiteral("\r\n+COPS: 0,0,\"\",2\r\n\r\nOK\r\n"), kOk, kCsq20});

    w.PCOPS();

    EXPECT_EQ(w.port.written, QStringList({"AT+COPS?\r", "AT+COPS=0,2\r", "AT+CSQ\r"}));
    EXPECT_EQ(w.lblCsq, QStringLiteral("  -73db"));
    EXPECT_EQ(w.barValue, 1) << "the bar keeps its value without an operator";
    EXPECT_TRUE(w.timer1);
}

TEST_F(PollingCycle, PercentModeShowsTheBarsRoundedPercentage)
{
    w.percentMode = true;
    w.script({kNameReply, kOk, kCsq20, kOk, kCgreg});

    w.PCOPS();

    EXPECT_EQ(w.barValue, 20);
    EXPECT_EQ(w.lblCsq, QStringLiteral("  66%")); // 19 / 29 of the range: 65.5...
}

// An "OK" that arrives in a read of its own after the operator line is taken by the next
// command, which then leaves its own reply to the one after it.
TEST_F(PollingCycle, SplitOkShiftsEachLaterReplyOntoTheNextCommand)
{
    runGoodCycles();
    w.script({QStringLiteral("\r\n+COPS: 0,0,\"Other Net\",0\r\n"), kOk, kOk,
              QStringLiteral("\r\n+CSQ: 5,99\r\n\r\nOK\r\n"), kOk,
              QStringLiteral("\r\n+CGREG: 2,1, FFFE, 8000000A\r\n\r\nOK\r\n")});

    w.PCOPS();

    EXPECT_EQ(w.lblCops, QStringLiteral("Other Net (2G)"));
    EXPECT_EQ(w.lblCsq, QStringLiteral("  -73db")) << "the signal reply went to AT+CGREG=2";
    EXPECT_EQ(w.lblLac, QStringLiteral("6699"));
    ASSERT_EQ(w.port.scriptedReads.size(), 1u);
    EXPECT_TRUE(w.port.scriptedReads.front()->contains("+CGREG:")) << "left for the next cycle";
}

} // namespace
