// Feeds arbitrary bytes to the export row parser, alone and in place of single fields of a
// valid row, and checks that whatever it accepts lies in range.
#include "tools/cellsvc/CellQuery.h"
#include "tools/cellsvc/ExportRow.h"
#include "tools/fuzz/FuzzCheck.h"

#include <cstdint>
#include <string>

using namespace cellsvc;

namespace
{

void checkRow(const std::string& line)
{
    CellRecord record;
    std::string problem;
    if (parseExportRow(line, record, problem)) {
        FUZZ_CHECK(!record.radio.empty() && record.mcc >= 0 && record.mcc <= kMaxMcc);
        FUZZ_CHECK(record.area >= 0 && record.area <= kMaxLac);
        FUZZ_CHECK(record.cell >= 0 && record.cell <= kMaxCellId);
        FUZZ_CHECK(record.lat >= -90 && record.lat <= 90 && record.lon >= -180 &&
                   record.lon <= 180);
        FUZZ_CHECK(record.samples >= 0 && record.range >= 0);
    } else {
        FUZZ_CHECK(!problem.empty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    checkRow(input);
    checkRow("UMTS,262,2,801," + input + ",0,13.285512,52.522202,1000,7,1,1282569574,1300155341,0");
    checkRow("GSM,262,2,801,86355,0,13.285512," + input + ",1000,7,1,1282569574,1300155341,0");
    checkRow("LTE,262,2,801,86355,0,13.285512,52.522202,1000," + input);
    return 0;
}
