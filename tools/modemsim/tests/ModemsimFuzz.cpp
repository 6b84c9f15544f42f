// Feeds arbitrary client bytes through the line cutter and the responder, and arbitrary text
// through the scenario parser, checking what must hold for any input.
#include "tools/fuzz/FuzzCheck.h"
#include "tools/modemsim/AtResponder.h"
#include "tools/modemsim/LineAssembler.h"
#include "tools/modemsim/Scenario.h"

#include <cstdint>

using namespace modemsim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    ModemState state;
    LineAssembler lines;
    for (const char c : bytes) {
        const auto line = lines.feed(c);
        if (!line)
            continue;
        FUZZ_CHECK(line->size() <= LineAssembler::kMaxLineLength && !line->contains('\r'));
        const AtReply reply = respond(state, *line);
        const QByteArray wire = reply.wire();
        FUZZ_CHECK(reply.result == AtReply::Result::Ignored || wire.endsWith("\r\n"));
        FUZZ_CHECK(splitReply(reply, ReplySplit::Halves).join() == wire);
        // Commands never touch what only the network decides.
        FUZZ_CHECK(state.rssi == 20 && state.lac == 0x1A2B && state.hasOperator);
    }

    const Scenario scenario = parseScenario(QString::fromUtf8(bytes));
    FUZZ_CHECK(scenario.steps.size() + size_t(scenario.errors.size()) <= size + 1);
    return 0;
}
