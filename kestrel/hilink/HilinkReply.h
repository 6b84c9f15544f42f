#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>
#include <variant>

// The replies of a HiLink stick's web API (the small router of Huawei's HiLink firmware, at
// 192.168.8.1 on the stick's own network), read into what they say. Every reply is a small XML
// document: <response> with one element per field, or <error> with a <code>.
namespace hilink
{

// Replies are a few hundred bytes; a larger one is no reply of the stick's.
inline constexpr qsizetype kMaxReplyBytes = 64 * 1024;
// Error codes of the API.
inline constexpr int kSessionExpired = 125002;   // no valid session: get one, ask again
inline constexpr int kPasswordRequired = 100003; // the stick wants its user to log in
inline constexpr int kWrongPassword = 108006;    // the login's user or password is wrong
inline constexpr int kBadToken = 125003;         // the POST's token was spent or never handed
// <SimState> of GET /api/pin/status when the SIM is locked.
inline constexpr int kSimPinRequired = 260;
inline constexpr int kSimPukRequired = 261;

// An error code in words for the user, such as "wrong password"; "error <code>" when the code
// has none.
QString errorText(int code);

struct Reply {
    QMap<QString, QString> fields; // <response>'s child elements by name, text decoded
    std::optional<int> errorCode;  // <error><code>
};

// Why a body is no reply to read.
enum class Unreadable { TooLarge, DeclaresDtd, NotXml };

// The body as a reply. A body that declares a DTD is refused before anything is expanded:
// QXmlStreamReader has no switch against internal entities.
std::variant<Reply, Unreadable> readReply(const QByteArray& body);

// A value as the stick writes it, with its unit and at the floor a bound: "-86dBm", "10dB",
// "-14.5dB", "<=-113dBm" (sent as "&lt;=-113dBm"), ">=-51dBm". None when empty or no number.
std::optional<double> measuredValue(const QString& text);

// The session of GET /api/webserver/SesTokInfo
//   <response><SesInfo>SessionID=abc...</SesInfo><TokInfo>tok...</TokInfo></response>
// or, on firmware without it, GET /api/webserver/token: <response><token>tok...</token>.
struct Session {
    QString cookie; // "SessionID=abc...", sent as Cookie; empty with /api/webserver/token
    QString token;  // sent as __RequestVerificationToken
    bool operator==(const Session&) const = default;
};
std::optional<Session> readSession(const Reply& reply);

// What GET /api/device/signal tells of the serving cell, for example (an E3372h on LTE)
//   <response><pci>43</pci><cell_id>44294436</cell_id><rsrq>-14dB</rsrq><rsrp>-86dBm</rsrp>
//   <rssi>-61dBm</rssi><sinr>10dB</sinr><rscp></rscp><ecio></ecio><mode>7</mode>
//   <earfcn>DL:3025 UL:21025</earfcn><tac>57332</tac><band>7</band><plmn>26003</plmn></response>
// Each figure none when empty or unreadable. `mode` is 0 on 2G, 2 on 3G, 7 on 4G.
struct SignalFacts {
    std::optional<int> mode{};
    std::optional<double> rssiDbm{}, rsrpDbm{}, sinrDb{}, rsrqDb{}, rscpDbm{}, ecioDb{};
    QString cellId{}; // decimal
    QString tac{};    // decimal
    std::optional<int> band{};
    std::optional<int> downlinkChannel{}; // the DL of "DL:3025 UL:21025"
    bool operator==(const SignalFacts&) const = default;
};
SignalFacts readSignal(const Reply& reply);

// What GET /api/net/signal-para tells of the serving cell's area, in hexadecimal, on the older
// firmware of 2G and 3G sticks, whose /api/device/signal gives no <tac> (only an LTE cell has a
// TAC), for example (other fields left out)
//   <response><Lac>1A2B</Lac><CellID>1AC4E05</CellID></response>
// Both decimal, as the window shows them; empty when missing or not one to eight hex digits.
struct CellArea {
    QString lac{};
    QString cellId{};
    bool operator==(const CellArea&) const = default;
};
CellArea readSignalPara(const Reply& reply);

// The index of the monitor's level bar and voice for an RSSI: round((dBm + 113) / 2), held to
// 0..31, so that the level shown, -113 + 2n, is one of the levels an AT stick gives.
int levelIndexOfRssi(double rssiDbm);

// The password the login posts for password type 4, as the stick's own page computes it:
// base64(sha256-hex(user + base64(sha256-hex(password)) + token)).
QByteArray loginPassword(const QString& user, const QString& password, const QString& token);

} // namespace hilink
