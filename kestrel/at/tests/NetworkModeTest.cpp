#include "kestrel/at/NetworkMode.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

TEST(NetworkModeOutput, SendsTheEntrysCommandByteForByte)
{
    const struct {
        const char* comboText;
        std::optional<QString> output;
    } rows[] = {
        {"3G Only", "AT^SYSCFG=14,2,3fffffff,0,1\r"},
        {"3G Preferred", "AT^SYSCFG=2,2,3fffffff,0,1\r"},
        {"GPRS/EDGE Only", "AT^SYSCFG=13,1,3FFFFFFF,0,1\r"}, // upper-case hex, as it always was
        {"4G Only", "AT^SYSCFGEX=\"03\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,\r"},
        {"4G Preferred", "AT^SYSCFGEX=\"030201\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,\r"},
        {"Automatic", "AT^SYSCFGEX=\"00\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,\r"},
        {"3g only", std::nullopt},
        {"3G Only ", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.comboText);
        EXPECT_EQ(at::networkModeOutput(QString::fromUtf8(row.comboText)), row.output);
    }
    for (const QString& entry : at::networkModeEntries())
        EXPECT_NE(at::networkModeOutput(entry), std::nullopt) << "every entry sends a command";
}

} // namespace
