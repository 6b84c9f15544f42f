// Feeds arbitrary client bytes through the line cutter and the responder, and arbitrary text
// through the scenario parser, checking what must hold for any input.
#include "tools/modemsim/AtResponder.h"
#include "tools/modemsim/LineAssembler.h"
#include "tools/modemsim/Scenario.h"

#include <cstdint>
#include <cstdlib>

using namespace modemsim;

namespace
{
void require(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    ModemState state;
    LineAssembler lines;
    for (const char c : bytes) {
        const auto line = lines.feed(c);
        if (!line)
            continue;
        require(line->size() <= LineAssembler::kMaxLineLength && !line->contains('\r'));
        const AtReply reply = respond(state, *line);
        const QByteArray wire = reply.wire();
        require(reply.result == AtReply::Result::Ignored || wire.endsWith("\r\n"));
        require(splitReply(reply, ReplySplit::Halves).join() == wire);
        // Commands never touch what only the network decides.
        require(state.rssi == 20 && state.lac == 0x1A2B && state.hasOperator);
    }

    const Scenario scenario = parseScenario(QString::fromUtf8(bytes));
    require(scenario.steps.size() + size_t(scenario.errors.size()) <= size + 1);
    return 0;
}
