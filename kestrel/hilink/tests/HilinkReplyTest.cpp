#include "kestrel/hilink/HilinkReply.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

using namespace hilink;

// The E3372h's reply on LTE, as captured, with the values' units and its empty fields.
const QByteArray kE3372hSignal =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<response>\r\n<pci>43</pci>\r\n<sc></sc>\r\n"
    "<cell_id>44294436</cell_id>\r\n<rsrq>-14dB</rsrq>\r\n<rsrp>-86dBm</rsrp>\r\n"
    "<rssi>-61dBm</rssi>\r\n<sinr>10dB</sinr>\r\n<rscp></rscp>\r\n<ecio></ecio>\r\n"
    "<mode>7</mode>\r\n<earfcn>DL:3025 UL:21025</earfcn>\r\n<tac>57332</tac>\r\n"
    "<band>7</band>\r\n<plmn>26003</plmn>\r\n</response>\r\n";

TEST(HilinkReply, ReadsResponsesErrorsAndRefusesWhatIsNoReply)
{
    const auto errorOf = [](const QByteArray& body) {
        const auto read = readReply(body);
        return std::holds_alternative<Reply>(read) ? std::get<Reply>(read).errorCode
                                                   : std::optional<int>(-1);
    };
    EXPECT_EQ(errorOf(kE3372hSignal), std::nullopt);
    EXPECT_EQ(errorOf("<?xml version=\"1.0\"?><error><code>125002</code><message></message>"
                      "</error>"),
              kSessionExpired);
    EXPECT_EQ(errorOf("<error><code>100003</code></error>"), kPasswordRequired);
    EXPECT_EQ(errorOf("<error><code>x</code></error>"), 0) << "an error all the same";
    const struct {
        const char* name;
        QByteArray body;
        Unreadable why;
    } refused[] = {
        {"AnEntityBomb",
         "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
         "<response><rssi>&b;</rssi></response>",
         Unreadable::DeclaresDtd},
        {"TenMegabytes", "<response>" + QByteArray(10 << 20, ' ') + "</response>",
         Unreadable::TooLarge},
        {"AnHtmlLoginPage", "<html><body>Login</body></html>", Unreadable::NotXml},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.name);
        const auto read = readReply(row.body);
        ASSERT_TRUE(std::holds_alternative<Unreadable>(read));
        EXPECT_EQ(std::get<Unreadable>(read), row.why);
    }
}

TEST(HilinkReply, ReadsTheSignalAndEachValueForm)
{
    EXPECT_TRUE(readSignal(std::get<Reply>(readReply(kE3372hSignal))) ==
                (SignalFacts{.mode = 7,
                             .rssiDbm = -61,
                             .rsrpDbm = -86,
                             .sinrDb = 10,
                             .rsrqDb = -14,
                             .cellId = "44294436",
                             .tac = "57332",
                             .band = 7,
                             .downlinkChannel = 3025}));
    const auto floor = readReply("<response><rssi>&lt;=-113dBm</rssi><mode>2</mode></response>");
    EXPECT_EQ(readSignal(std::get<Reply>(floor)).rssiDbm, -113) << "an entity of XML's own";

    const struct {
        QString text;
        std::optional<double> value;
    } values[] = {
        {"-86dBm", -86},       {"-14.5dB", -14.5},        {"<=-113dBm", -113},
        {">=-51dBm", -51},     {" 10 dB ", 10},           {"", std::nullopt},
        {"dBm", std::nullopt}, {"-8x6dBm", std::nullopt}, {"1e3", std::nullopt},
    };
    for (const auto& row : values) {
        EXPECT_EQ(measuredValue(row.text), row.value) << row.text.toStdString();
    }
    // signal-para's LAC and cell ID, hexadecimal as the stick writes them, shown in decimal.
    for (const auto& [fields, area] :
         {std::pair<QByteArray, CellArea>{"<Lac> 1A2B </Lac><CellID>1AC4E05</CellID>",
                                          {"6699", "28069381"}},
          {"<Lac>0x1A2B</Lac><CellID></CellID>", {}}}) {
        const auto reply = readReply("<response>" + fields + "</response>");
        EXPECT_EQ(readSignalPara(std::get<Reply>(reply)), area) << fields.toStdString();
    }
    // The level shown for an RSSI is one an AT stick gives: -113 + 2n, n from 0 to 31.
    for (const auto& [rssi, index] :
         {std::pair{-61.0, 26}, {-113.0, 0}, {-120.0, 0}, {-51.0, 31}, {-40.0, 31}, {-74.0, 20}})
        EXPECT_EQ(levelIndexOfRssi(rssi), index) << rssi;
}

TEST(HilinkReply, ReadsTheSessionAndTheLoginPassword)
{
    const auto session = [](const QByteArray& body) {
        return readSession(std::get<Reply>(readReply(body)));
    };
    EXPECT_TRUE(session("<response><SesInfo>SessionID=abc</SesInfo><TokInfo>tok1</TokInfo>"
                        "</response>") == (Session{"SessionID=abc", "tok1"}));
    EXPECT_TRUE(session("<response><token>tok2</token></response>") == (Session{"", "tok2"}));
    EXPECT_FALSE(session("<response><SesInfo>x</SesInfo><TokInfo>t</TokInfo></response>"));
    EXPECT_FALSE(session("<error><code>125002</code></error>"));
    // Worked out apart from this code: base64(sha256-hex("admin" + base64(sha256-hex("admin"))
    // + "7b3a1c9e")).
    EXPECT_EQ(
        loginPassword("admin", "admin", "7b3a1c9e"),
        "ODA5ZDdhOGQzZDhlZjRkNTNhMTA5NDQ0MzRhN2RjZmRlZmI0OGFmOTkxMDU0NDM2MGNjMjI3N2U2YTAxYjY3MQ==");
}

} // namespace
