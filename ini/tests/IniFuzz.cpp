// Arbitrary bytes through the reader and writer: nothing may crash, and the document must
// settle after one pass (what one write-read cycle loses, the next may not).
#include "ini/IniReader.h"
#include "ini/IniWriter.h"
#include "tools/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const IniDocument second = readIniDocument(writeIniDocument(readIniDocument(input)));
    FUZZ_CHECK(readIniDocument(writeIniDocument(second)) == second);
    return 0;
}
