// Feeds arbitrary reply texts through the monitor core: three polling cycles over a scripted
// port, then a look at the reading. Nothing may crash, Timer1 must run after every cycle, and
// the reading may only hold what the reply steps can cut: texts out of the replies, levels the
// index formula gives, decimal location numbers.
#include "kestrel/monitor/MonitorCore.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/serial/FakeCommControl.h"
#include "tools/fuzz/FuzzCheck.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>

namespace
{

void ensureApplication()
{
    if (QCoreApplication::instance()) {
        return;
    }
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
    std::atexit([] { delete QCoreApplication::instance(); });
}

const char* const kTemplates[] = {
    "\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n",
    "\r\n+COPS: 0,2,\"00101\",0\r\n\r\nOK\r\n",
    "\r\n+COPS: 0\r\n\r\nOK\r\n",
    "\r\n+CSQ: 20,99\r\n\r\nOK\r\n",
    "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n",
    "\r\n+COPS: 0,2,\"310260\",7\r\n\r\nOK\r\n",
    "\r\n+CEREG: 2,1,\"1A2B\",\"01A2D001\",7\r\n\r\nOK\r\n",
    "\r\nOK\r\n",
    "\r\n^HCSQ:\"LTE\",53,45,181,18\r\n\r\nOK\r\n",
    "\r\n^HCSQ:\"NR\",77,236,31\r\n",
    "\r\n+CESQ: 99,99,255,255,20,50,80,100,60\r\n\r\nOK\r\n",
    "\r\n^HFREQINFO:0,6,1,425,21525,15000,18425,19625,15000\r\n\r\nOK\r\n",
    "\r\nERROR\r\n",
};
constexpr std::size_t kTemplateCount = sizeof kTemplates / sizeof kTemplates[0];

// Pieces of the input separated by NUL bytes. A piece's first byte chooses a failed read, the
// piece as it is, or the piece spliced into a template, and Latin-1 or UTF-8 decoding.
std::deque<std::optional<QString>> readsFrom(const std::uint8_t* data, std::size_t size)
{
    std::deque<std::optional<QString>> reads;
    std::size_t start = 0;
    while (start < size) {
        std::size_t end = start;
        while (end < size && data[end] != 0) {
            ++end;
        }
        if (end > start) {
            const std::uint8_t choice = data[start];
            const char* bytes = reinterpret_cast<const char*>(data + start + 1);
            const auto length = static_cast<qsizetype>(end - start - 1);
            const QString piece = (choice & 1) ? QString::fromUtf8(bytes, length)
                                               : QString::fromLatin1(bytes, length);
            const std::size_t pick = (choice >> 1) % (kTemplateCount + 2);
            if (pick == kTemplateCount) {
                reads.emplace_back(std::nullopt);
            } else if (pick == kTemplateCount + 1) {
                reads.emplace_back(piece);
            } else {
                QString reply = QString::fromLatin1(kTemplates[pick]);
                reply.insert((choice >> 4) % (reply.size() + 1), piece);
                reads.emplace_back(reply);
            }
        }
        start = end + 1;
    }
    return reads;
}

// Empty, or cut out of one of the replies.
bool cutFrom(const QString& text, const QStringList& replies)
{
    return text.isEmpty() ||
           std::any_of(replies.begin(), replies.end(),
                       [&text](const QString& reply) { return reply.contains(text); });
}

bool decimalLocation(const QString& text)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    return text.isEmpty() || (ok && value <= 0xFFFFFFFFu && text == QString::number(value));
}

void checkReading(const MonitorReading& r, const QStringList& replies)
{
    FUZZ_CHECK(cutFrom(r.operatorName, replies));
    FUZZ_CHECK(r.mcc.size() <= 3 && cutFrom(r.mcc, replies));
    FUZZ_CHECK(r.mnc.size() <= 3 && cutFrom(r.mnc, replies));
    FUZZ_CHECK(decimalLocation(r.lac) && decimalLocation(r.cellId));
    const at::DbmLevel level = r.levelDbm;
    FUZZ_CHECK(!level || (*level >= -113 && *level <= 0 && (*level + 113) % 2 == 0));
    FUZZ_CHECK(r.barValue >= 0 && r.barValue <= 31);
    FUZZ_CHECK(r.rawReply.isEmpty() || replies.contains(r.rawReply));
    const at::RadioQuality& q = r.quality;
    FUZZ_CHECK(!q.rsrpDbm || (*q.rsrpDbm >= -141 && *q.rsrpDbm <= -44));
    FUZZ_CHECK(!q.sinrDb || (*q.sinrDb >= -20.2 && *q.sinrDb <= 30.0));
    FUZZ_CHECK(!q.rsrqDb || (*q.rsrqDb >= -20.0 && *q.rsrqDb <= -3.0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    ensureApplication();
    FakeCommControl port;
    FakeDeviceInventory inventory;
    if ((data[0] & 2) == 0) {
        port.setPortOpen(true);
    }
    port.scriptedReads = readsFrom(data + 1, size - 1);
    QStringList replies;
    for (const auto& read : port.scriptedReads) {
        if (read) {
            replies << *read;
        }
    }
    MonitorCore core({port, inventory});
    core.setPercentMode(data[0] & 1);
    core.Timer1->start();
    for (int tick = 0; tick < 3; ++tick) {
        const int readsBefore = port.readCount;
        core.Timer1_Timer();
        // At most eight transactions: operator and switch, signal, quality figures by two
        // commands, registration by two, band.
        FUZZ_CHECK(port.readCount - readsBefore <= 8 * AtTransaction::kReadLimit);
        FUZZ_CHECK(core.Timer1->isActive());
        checkReading(core.reading(), replies);
    }
    return 0;
}
