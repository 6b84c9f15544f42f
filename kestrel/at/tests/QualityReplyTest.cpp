#include "kestrel/at/QualityReply.h"

#include "kestrel/at/tests/ModemReply.h"
#include "tests/support/TextPrinter.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace
{

// The figures that are known, by name: "rsrp -96 sinr 16.0", or "none" without a report.
QString known(const std::optional<at::RadioQuality>& q)
{
    if (!q)
        return QStringLiteral("none");
    QStringList parts;
    const auto add = [&parts](const char* name, auto value) {
        if (value)
            parts << QLatin1String(name) + u' ' + QString::number(double(*value), 'f', 1);
    };
    add("rssi", q->rssiDbm);
    add("rsrp", q->rsrpDbm);
    add("sinr", q->sinrDb);
    add("rsrq", q->rsrqDb);
    add("rscp", q->rscpDbm);
    add("ecio", q->ecioDb);
    add("nr-rsrp", q->nrRsrpDbm);
    add("nr-sinr", q->nrSinrDb);
    add("nr-rsrq", q->nrRsrqDb);
    return parts.join(u' ');
}

const char* const kE3372s = "rssi -68.0 rsrp -96.0 sinr 16.0 rsrq -11.0";
const char* const kNsaNr = "nr-rsrp -64.0 nr-sinr 27.0 nr-rsrq -4.5";

TEST(QualityReply, ReadsEachHcsqAndCesqForm)
{
    const struct {
        const char* name;
        QString reply;
        QString figures;
        bool cesq = false;
    } rows[] = {
        {"HuaweiE3372s153Lte", ok("^HCSQ:\"LTE\",53,45,181,18"), kE3372s},
        {"HuaweiE3372h607Unsolicited", "\r\n^HCSQ:\"LTE\",48,35,86,14\r\n",
         "rssi -73.0 rsrp -106.0 sinr -3.0 rsrq -13.0"},
        {"HuaweiE3372h607Reselecting", "\r\n^HCSQ:\"LTE\",11,0,96,0\r\n",
         "rssi -110.0 rsrp -141.0 sinr -1.0 rsrq -20.0"},
        {"HuaweiE3372h320Wcdma", ok("^HCSQ:\"WCDMA\",44,35,47"), "rssi -77.0 rscp -86.0 ecio -9.0"},
        {"BlankAndNoQuotes", ok("^HCSQ: GSM,40"), "rssi -81.0"},
        {"Huawei5gNsaLteThenNr", ok("^HCSQ:\"LTE\",53,45,181,18\r\n^HCSQ: \"NR\",77,236,31"),
         QString(kE3372s) + " " + kNsaNr},
        // An NR line reported before the LTE one is not lost by it.
        {"NrThenLte", "\r\n^HCSQ:\"NR\",77,236,31\r\n^HCSQ:\"LTE\",53,45,181,18\r\n",
         QString(kE3372s) + " " + kNsaNr},
        {"NoServiceForgetsEverything", "\r\n^HCSQ:\"NR\",77,236,31\r\n^HCSQ:\"NOSERVICE\"\r\n", ""},
        {"UnknownAndOutOfRange", ok("^HCSQ:\"LTE\",255,98,252,-1"), ""},
        {"TheNewestLineWins", "\r\n^HCSQ:\"LTE\",53,45,181,18\r\n\r\n^HCSQ:\"LTE\",48,35,86,14\r\n",
         "rssi -73.0 rsrp -106.0 sinr -3.0 rsrq -13.0"},
        // A line without its line end may lack digits: RSRQ -19.5 is not what it said.
        {"CutShort", "\r\n^HCSQ:\"LTE\",53,45,181,1", "none"},
        {"HcsqRefused", "\r\nERROR\r\n", "none"},
        {"Cesq3gppExample", ok("+CESQ: 99,99,255,255,26,45"), "rsrp -96.0 rsrq -7.0", true},
        {"CesqUmts", ok("+CESQ: 99,99,31,40,255,255"), "rscp -90.0 ecio -4.5", true},
        {"Cesq5gModem", ok("+CESQ: 99,99,255,255,20,50,80,100,60"),
         "rsrp -91.0 rsrq -10.0 nr-rsrp -57.0 nr-sinr 6.5 nr-rsrq -3.5", true},
        {"CesqCmeError", "\r\n+CME ERROR: 100\r\n", "none", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(known(row.cesq ? at::parseCesqReply(row.reply) : at::parseHcsqReply(row.reply)),
                  row.figures);
    }
}

TEST(QualityReply, ReadsTheBandAndTellsARefusal)
{
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
