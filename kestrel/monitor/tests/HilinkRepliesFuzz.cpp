// Arbitrary bytes as a HiLink stick's reply, read as the signal, the cell's area, the session
// and the operator and taken into a reading: nothing may crash, a reply is never larger than the
// cap, the LAC and cell ID are decimal digits or nothing, and the level shown is one an AT stick
// could give.
#include "kestrel/hilink/HilinkReply.h"
#include "kestrel/monitor/HilinkReading.h"
#include "tools/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto read = hilink::readReply(body);
    const auto* reply = std::get_if<hilink::Reply>(&read);
    if (!reply) {
        return 0;
    }
    FUZZ_CHECK(body.size() <= hilink::kMaxReplyBytes);
    HilinkRound round;
    round.outcome = HilinkRound::Outcome::Read;
    round.signal = hilink::readSignal(*reply);
    round.operatorName = reply->fields.value(QStringLiteral("FullName"));
    round.numeric = reply->fields.value(QStringLiteral("Numeric"));
    round.area = hilink::readSignalPara(*reply);
    for (const QString& shown : {round.area.lac, round.area.cellId}) {
        FUZZ_CHECK(shown.size() <= 10 &&
                   std::all_of(shown.begin(), shown.end(), [](QChar c) { return c.isDigit(); }));
    }
    hilink::readSession(*reply);
    for (const auto& figure : {round.signal.rssiDbm, round.signal.rsrpDbm, round.signal.sinrDb}) {
        FUZZ_CHECK(!figure || std::isfinite(*figure));
    }
    MonitorReading reading;
    takeHilinkRound(round, reading, false);
    FUZZ_CHECK(!reading.levelDbm || (*reading.levelDbm >= -113 && *reading.levelDbm <= -51 &&
                                     *reading.levelDbm % 2 != 0));
    FUZZ_CHECK(reading.barValue >= 0 && reading.barValue <= 31);
    return 0;
}
