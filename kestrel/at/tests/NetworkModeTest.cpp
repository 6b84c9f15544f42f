#include "kestrel/at/NetworkMode.h"

#include "kestrel/at/tests/QtPrinters.h"

#include <gtest/gtest.h>

namespace
{

struct ModeRow {
    const char* name;
    QString comboText;
    std::optional<QString> output;
};

void PrintTo(const ModeRow& row, std::ostream* os)
{
    *os << row.name;
}

class NetworkModeOutput : public testing::TestWithParam<ModeRow>
{
};

TEST_P(NetworkModeOutput, SendsTheEntrysCommandByteForByte)
{
    EXPECT_EQ(at::networkModeOutput(GetParam().comboText), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Entries, NetworkModeOutput,
                         testing::Values(ModeRow{"ThreeGOnly", "3G Only",
                                                 QStringLiteral("AT^SYSCFG=14,2,3fffffff,0,1\r")},
                                         ModeRow{"ThreeGPreferred", "3G Preferred",
                                                 QStringLiteral("AT^SYSCFG=2,2,3fffffff,0,1\r")},
                                         ModeRow{"GprsEdgeOnlyHasUpperCaseHex", "GPRS/EDGE Only",
                                                 QStringLiteral("AT^SYSCFG=13,1,3FFFFFFF,0,1\r")},
                                         ModeRow{"FourGOnly", "4G Only",
                                                 QStringLiteral("AT^SYSCFGEX=\"03\",3FFFFFFF,2,4,"
                                                                "7FFFFFFFFFFFFFFF,,\r")},
                                         ModeRow{"FourGPreferred", "4G Preferred",
                                                 QStringLiteral("AT^SYSCFGEX=\"030201\",3FFFFFFF,2,"
                                                                "4,7FFFFFFFFFFFFFFF,,\r")},
                                         ModeRow{"Automatic", "Automatic",
                                                 QStringLiteral("AT^SYSCFGEX=\"00\",3FFFFFFF,2,4,"
                                                                "7FFFFFFFFFFFFFFF,,\r")},
                                         ModeRow{"OtherCaseIsNoEntry", "3g only", std::nullopt},
                                         ModeRow{"TrailingBlankIsNoEntry", "3G Only ",
                                                 std::nullopt},
                                         ModeRow{"EmptyBoxSendsNothing", "", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NetworkModeEntries, ListsTheEntriesInOrder)
{
    EXPECT_EQ(at::networkModeEntries(), QStringList({"3G Only", "3G Preferred", "GPRS/EDGE Only",
                                                     "4G Only", "4G Preferred", "Automatic"}));
}

} // namespace
