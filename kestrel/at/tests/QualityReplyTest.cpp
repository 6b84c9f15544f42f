#include "kestrel/at/QualityReply.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using at::RadioQuality;
using std::nullopt;

QString ok(const char* lines)
{
    return QStringLiteral("\r\n%1\r\n\r\nOK\r\n").arg(QString::fromLatin1(lines));
}

RadioQuality lte(int rssi, int rsrp, double sinr, double rsrq)
{
    RadioQuality q;
    q.rssiDbm = rssi;
    q.rsrpDbm = rsrp;
    q.sinrDb = sinr;
    q.rsrqDb = rsrq;
    return q;
}

RadioQuality withNr(RadioQuality q, std::optional<int> rsrp, std::optional<double> sinr,
                    std::optional<double> rsrq)
{
    q.nrRsrpDbm = rsrp;
    q.nrSinrDb = sinr;
    q.nrRsrqDb = rsrq;
    return q;
}

RadioQuality wcdma(int rssi, int rscp, double ecio)
{
    RadioQuality q;
    q.rssiDbm = rssi;
    q.rscpDbm = rscp;
    q.ecioDb = ecio;
    return q;
}

TEST(QualityReply, ReadsEachHcsqForm)
{
    RadioQuality gsm;
    gsm.rssiDbm = -81;
    const struct {
        const char* name;
        QString reply;
        std::optional<RadioQuality> quality;
    } rows[] = {
        {"HuaweiE3372s153Lte", ok("^HCSQ:\"LTE\",53,45,181,18"), lte(-68, -96, 16.0, -11.0)},
        {"HuaweiE3372h607Unsolicited", "\r\n^HCSQ:\"LTE\",48,35,86,14\r\n",
         lte(-73, -106, -3.0, -13.0)},
        {"HuaweiE3372h607Reselecting", "\r\n^HCSQ:\"LTE\",11,0,96,0\r\n",
         lte(-110, -141, -1.0, -20.0)},
        {"HuaweiE3372h320Wcdma", ok("^HCSQ:\"WCDMA\",44,35,47"), wcdma(-77, -86, -9.0)},
        {"BlankAndNoQuotes", ok("^HCSQ: GSM,40"), gsm},
        {"Huawei5gNsaLteThenNr", ok("^HCSQ:\"LTE\",53,45,181,18\r\n^HCSQ: \"NR\",77,236,31"),
         withNr(lte(-68, -96, 16.0, -11.0), -64, 27.0, -4.5)},
        // An NR line reported before the LTE one is not lost by it.
        {"NrThenLte", "\r\n^HCSQ:\"NR\",77,236,31\r\n^HCSQ:\"LTE\",53,45,181,18\r\n",
         withNr(lte(-68, -96, 16.0, -11.0), -64, 27.0, -4.5)},
        {"NoServiceForgetsEverything", "\r\n^HCSQ:\"NR\",77,236,31\r\n^HCSQ:\"NOSERVICE\"\r\n",
         RadioQuality{}},
        {"UnknownAndOutOfRangeFigures", ok("^HCSQ:\"LTE\",255,98,252,-1"), RadioQuality{}},
        {"TheNewestLineWins", "\r\n^HCSQ:\"LTE\",53,45,181,18\r\n\r\n^HCSQ:\"LTE\",48,35,86,14\r\n",
         lte(-73, -106, -3.0, -13.0)},
        // A line without its line end may lack digits: -68, -96, 16.0, -19.5 is not what it said.
        {"CutShort", "\r\n^HCSQ:\"LTE\",53,45,181,1", nullopt},
        {"Refused", "\r\nERROR\r\n", nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(at::parseHcsqReply(row.reply), row.quality);
    }
}

TEST(QualityReply, ReadsCesqAndTheFrequencyReport)
{
    RadioQuality lteOnly;
    lteOnly.rsrqDb = -7.0;
    lteOnly.rsrpDbm = -96;
    RadioQuality umts;
    umts.rscpDbm = -90;
    umts.ecioDb = -4.5;
    RadioQuality fiveG = withNr({}, -57, 6.5, -3.5);
    fiveG.rsrqDb = -10.0;
    fiveG.rsrpDbm = -91;
    const struct {
        const char* name;
        QString reply;
        std::optional<RadioQuality> quality;
    } rows[] = {
        {"Lte3gppExample", ok("+CESQ: 99,99,255,255,26,45"), lteOnly},
        {"Umts", ok("+CESQ: 99,99,31,40,255,255"), umts},
        {"FiveGModem", ok("+CESQ: 99,99,255,255,20,50,80,100,60"), fiveG},
        {"CmeError", "\r\n+CME ERROR: 100\r\n", nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(at::parseCesqReply(row.reply), row.quality);
    }

    const auto e3372 =
        at::parseHfreqinfoReply(ok("^HFREQINFO:0,6,1,425,21525,15000,18425,19625,15000"));
    ASSERT_TRUE(e3372);
    EXPECT_EQ(e3372->band, 1);
    EXPECT_EQ(e3372->downlinkChannel, 425);
    EXPECT_FALSE(at::parseHfreqinfoReply(ok("^HFREQINFO:0,0")));
    EXPECT_TRUE(at::refused("\r\n+CME ERROR: 100\r\n") && at::refused("\r\nerror\r\n"));
    EXPECT_FALSE(at::refused(ok("^HCSQ:\"LTE\",53,45,181,18")));
}

} // namespace
