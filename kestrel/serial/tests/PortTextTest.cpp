#include "kestrel/serial/PortText.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

template <typename T> struct Row {
    const char* text;
    std::optional<T> expected;
};

TEST(PortText, CutsTheNumberOutOfACaption)
{
    const Row<QString> rows[] = {
        {"HUAWEI Mobile Connect - 3G PC UI Interface (USB2)", "2"},
        {"HUAWEI Mobile Connect - 3G PC UI Interface (COM3)", "3"},
        {"Modem (USB123456)", "123456"},
        {"HUAWEI Mobile Connect", std::nullopt},
        {"HUAWEI (USB2", std::nullopt},
        {"HUAWEI (US)", std::nullopt}, // the closing mark too near the opening one
        {"HUAWEI (USB)", ""},
        {"HU) (USB2)", std::nullopt},
        {"HUAWEI (x) (USB3)", std::nullopt}, // the first pair counts
        {"HUAWEI USB7)", "WEI USB7"},        // no opening mark: cut from the start
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(cutPortText(QString::fromLatin1(row.text)), row.expected);
    }
}

TEST(PortText, TakesBoxCaptionsCutAndOtherTextWhole)
{
    const Row<QString> rows[] = {
        {"5", "5"},
        {"HUAWEI Mobile Connect - 3G PC UI Interface (USB2)", "2"},
        {"hu", "hu"},
        {"Modem (USB4)", "Modem (USB4)"},
        // A device path, though a by-id name holds "HU" and a "(".
        {" /dev/serial/by-id/usb-HUAWEI_(1)-if02 ", "/dev/serial/by-id/usb-HUAWEI_(1)-if02"},
        {"HUAWEI", std::nullopt},
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(portTextFromBoxText(QString::fromLatin1(row.text)), row.expected);
    }
}

TEST(PortText, ConvertsWholeNumbersOnly)
{
    const Row<qint16> rows[] = {
        {"5", 5},         {" 12 ", 12},  {"07", 7},   {"+4", 4}, {"-1", -1},
        {"32767", 32767}, {"32768", {}}, {"hu", {}},  {"", {}},  {"3.5", {}},
        {"12abc", {}},    {"-", {}},     {"1 2", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(portNumberFromText(QString::fromLatin1(row.text)), row.expected);
    }
}

TEST(PortText, ReadsAHilinkSticksHostAndPortOnly)
{
    const Row<QString> boxTexts[] = {
        {"HiLink 127.0.0.2", "127.0.0.2"},
        {" HiLink   127.0.0.1:8080 ", "127.0.0.1:8080"},
        {"HiLink [::1]:80", "[::1]:80"},
        {"hilink 127.0.0.2", std::nullopt}, // the word as the port box writes it
        {"HiLink", std::nullopt},
        {"HiLink 127.0.0.2/api", std::nullopt},
        {"HiLink admin@127.0.0.2", std::nullopt},
        {"HiLink 127.0.0.2?x=1", std::nullopt},
        {"HiLink 127.0.0.2 extra", std::nullopt},
    };
    for (const auto& row : boxTexts) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(hilinkAddressFromBoxText(QString::fromLatin1(row.text)), row.expected);
    }
    const Row<QString> urls[] = {
        {"http://127.0.0.2", "127.0.0.2"},
        {"http://127.0.0.1:18455/", "127.0.0.1:18455"},
        {"https://127.0.0.2", std::nullopt},
        {"127.0.0.2", std::nullopt},
        {"http://127.0.0.2/html/home.html", std::nullopt},
        {"http://user:pw@127.0.0.2", std::nullopt},
    };
    for (const auto& row : urls) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(hilinkAddressFromUrl(QString::fromLatin1(row.text)), row.expected);
    }
}

} // namespace
