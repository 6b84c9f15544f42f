// Feeds arbitrary reply texts to each reply step and, through a scripted port, to whole polling
// cycles, and checks that nothing crashes and that the window would only ever be given what the
// steps can cut: operator and codes out of some reply, levels the index formula can give,
// decimal location numbers, and nothing else.
#include "kestrel/polling/Queries.h"
#include "platform/serial/FakeCommControl.h"

#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{

[[noreturn]] void fail(const char* what, int line)
{
    std::fprintf(stderr, "RepliesFuzz check failed at line %d: %s\n", line, what);
    std::abort();
}

#define REQUIRE(cond)                                                                              \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fail(#cond, __LINE__);                                                                 \
        }                                                                                          \
    } while (0)

// Real replies that the input bytes are spliced into, so that short inputs reach the cuts.
const char* const kTemplates[] = {
    "\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n",
    "\r\n+COPS: 0,2,\"00101\",0\r\n\r\nOK\r\n",
    "\r\n+COPS: 0\r\n\r\nOK\r\n",
    "\r\n+CSQ: 20,99\r\n\r\nOK\r\n",
    "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n",
    "\r\n+CGREG: 2,0\r\n\r\nOK\r\n",
    "\r\nOK\r\n",
};
constexpr std::size_t kTemplateCount = sizeof kTemplates / sizeof kTemplates[0];

using Read = std::optional<QString>;

// Pieces of the input separated by NUL bytes. A piece's first byte chooses: a failed read, the
// piece as it is, or the piece spliced into a template; and Latin-1 or UTF-8 decoding.
std::vector<Read> readsFrom(const std::uint8_t* data, std::size_t size)
{
    std::vector<Read> reads;
    std::size_t start = 0;
    while (start <= size) {
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

bool isClearedText(const std::optional<QString>& write)
{
    return !write || write->isEmpty();
}

bool isDecimalNumber(const QString& text)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    return ok && value <= 0xFFFFFFFFu && text == QString::number(value);
}

// Text the step may keep: what it had, nothing, or a piece of the reply it was given.
bool isCutFrom(const QString& value, const QString& kept, const QString& reply)
{
    return value == kept || reply.contains(value);
}

void checkCops(const QString& reply, const at::CopsState& kept, const at::CopsOutcome& out)
{
    const at::CopsState& now = out.state;
    const at::DisplayWrites& d = out.display;
    REQUIRE(d.text1 == reply);
    REQUIRE(isCutFrom(now.operatorText, kept.operatorText, reply));
    REQUIRE(isCutFrom(now.formatChar, kept.formatChar, reply) && now.formatChar.size() <= 1);
    REQUIRE(isCutFrom(now.accessTechnology, kept.accessTechnology, reply) &&
            now.accessTechnology.size() <= 1);
    REQUIRE(now.technologySuffix == kept.technologySuffix || now.technologySuffix == " (2G)" ||
            now.technologySuffix == " (3G)");
    REQUIRE(!d.technologyColour ||
            (*d.technologyColour == at::colour2G() && now.technologySuffix == " (2G)") ||
            (*d.technologyColour == at::colour3G() && now.technologySuffix == " (3G)"));
    REQUIRE(isClearedText(d.lblCops) || *d.lblCops == now.operatorText + now.technologySuffix);
    REQUIRE(!d.lblMcc || (d.lblMcc->size() <= 3 && now.operatorText.startsWith(*d.lblMcc)));
    REQUIRE(!d.lblMnc || (d.lblMnc->size() <= 2 && now.operatorText.mid(3).startsWith(*d.lblMnc)));
    REQUIRE(isClearedText(d.lblCsq) && isClearedText(d.lblLac) && isClearedText(d.lblCellId));
    REQUIRE(!d.barValue || *d.barValue == 0);
    REQUIRE(!d.levelDbm || !d.levelDbm->has_value());
    REQUIRE(!d.lblCsqFromBarPercentage);
    REQUIRE(out.runPcsq == out.switchCommand.has_value());
    REQUIRE(!out.switchCommand || *out.switchCommand == "AT+COPS=0,0" ||
            *out.switchCommand == "AT+COPS=0,2");
    if (!reply.contains(QStringLiteral("+COPS:"))) {
        REQUIRE(now.operatorText == kept.operatorText && !out.runPcsq && !d.lblCops &&
                !d.technologyColour);
    }
}

void checkCsq(const QString& reply, const at::CopsState& cops, const at::CsqState& kept,
              const at::CsqOutcome& out)
{
    const at::DisplayWrites& d = out.display;
    REQUIRE(d.text1 == reply);
    REQUIRE(out.runPcgreg == !cops.operatorText.isEmpty());
    REQUIRE(isCutFrom(out.state.signalText, kept.signalText, reply));
    REQUIRE(!d.lblCops && !d.lblMcc && !d.lblMnc && !d.lblLac && !d.lblCellId &&
            !d.technologyColour);
    if (!d.levelDbm) {
        REQUIRE(!d.barValue && !d.lblCsq && !d.lblCsqFromBarPercentage);
    } else if (!d.levelDbm->has_value()) {
        REQUIRE(d.barValue == 0 && d.lblCsq == QString() && !d.lblCsqFromBarPercentage);
    } else {
        const int level = **d.levelDbm;
        REQUIRE(level >= -113 && level <= 0 && (level + 113) % 2 == 0);
        REQUIRE(!d.barValue || *d.barValue == (level + 113) / 2);
        REQUIRE(d.lblCsqFromBarPercentage != d.lblCsq.has_value());
        REQUIRE(!d.lblCsq || *d.lblCsq == at::dbmCaption(level));
    }
}

void checkCgreg(const QString& reply, const at::CgregState& kept, const at::CgregOutcome& out)
{
    const at::DisplayWrites& d = out.display;
    REQUIRE(isCutFrom(out.state.lacText, kept.lacText, reply));
    REQUIRE(isCutFrom(out.state.cellIdText, kept.cellIdText, reply));
    REQUIRE(!d.lblLac ||
            (isDecimalNumber(*d.lblLac) && d.lblLac == at::hexToDecimalText(out.state.lacText)));
    REQUIRE(!d.lblCellId || (isDecimalNumber(*d.lblCellId) &&
                             d.lblCellId == at::hexToDecimalText(out.state.cellIdText)));
    REQUIRE(!d.lblCops && !d.lblCsq && !d.lblMcc && !d.lblMnc && !d.text1 && !d.barValue &&
            !d.levelDbm && !d.technologyColour);
}

// Every reply straight into every step, the kept state carried from one reply to the next.
void feedEachStep(const std::vector<Read>& reads, bool percentMode)
{
    at::CopsState cops;
    at::CsqState csq;
    at::CgregState cgreg;
    for (const Read& read : reads) {
        const QString reply = read.value_or(QString());
        const at::CopsOutcome copsOut = at::parseCopsReply(reply, cops);
        checkCops(reply, cops, copsOut);
        const at::CsqOutcome csqOut = at::parseCsqReply(reply, copsOut.state, csq, percentMode);
        checkCsq(reply, copsOut.state, csq, csqOut);
        const at::CgregOutcome cgregOut = at::parseCgregReply(reply, cgreg);
        checkCgreg(reply, cgreg, cgregOut);
        cops = copsOut.state;
        csq = csqOut.state;
        cgreg = cgregOut.state;
    }
}

// Whole polling cycles over a port that returns the pieces in turn, as the main window runs
// them.
void runCycles(const std::vector<Read>& reads, bool percentMode, bool portOpen)
{
    FakeCommControl port;
    port.setPortOpen(portOpen);
    port.scriptedReads.assign(reads.begin(), reads.end());
    QStringList texts{QString()};
    for (const Read& read : reads) {
        if (read) {
            texts << *read;
        }
    }
    const QStringList commands = {"AT+COPS?\r", "AT+COPS=0,0\r", "AT+COPS=0,2\r",
                                  "AT+CSQ\r",   "AT+CGREG=2\r",  "AT+CGREG?\r"};
    AtTransaction transaction(port);
    at::CopsState cops;
    at::CsqState csq;
    at::CgregState cgreg;

    for (int cycle = 0; cycle < 3; ++cycle) {
        const int readsBefore = port.readCount;
        const auto writesBefore = port.written.size();
        const at::CopsOutcome copsOut = queryOperator(transaction, cops);
        REQUIRE(transaction.readCounter() == 0);
        REQUIRE(copsOut.display.text1 && texts.contains(*copsOut.display.text1));
        checkCops(*copsOut.display.text1, cops, copsOut);
        cops = copsOut.state;
        if (copsOut.runPcsq) {
            const at::CsqOutcome csqOut = querySignal(transaction, cops, csq, percentMode);
            REQUIRE(transaction.readCounter() == 0);
            REQUIRE(csqOut.display.text1 && texts.contains(*csqOut.display.text1));
            checkCsq(*csqOut.display.text1, cops, csq, csqOut);
            csq = csqOut.state;
            if (csqOut.runPcgreg) {
                const at::CgregOutcome cgregOut = queryRegistration(transaction, cgreg);
                REQUIRE(transaction.readCounter() == 0);
                REQUIRE(texts.contains(transaction.replyText()));
                checkCgreg(transaction.replyText(), cgreg, cgregOut);
                cgreg = cgregOut.state;
            }
        }
        REQUIRE(port.readCount - readsBefore <= 5 * AtTransaction::kReadLimit);
        for (auto i = writesBefore; i < port.written.size(); ++i) {
            REQUIRE(commands.contains(port.written[i]));
        }
        REQUIRE(!portOpen || port.written.value(writesBefore) == "AT+COPS?\r");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const bool percentMode = data[0] & 1;
    const bool portOpen = (data[0] & 2) == 0;
    const std::vector<Read> reads = readsFrom(data + 1, size - 1);
    feedEachStep(reads, percentMode);
    runCycles(reads, percentMode, portOpen);
    return 0;
}
