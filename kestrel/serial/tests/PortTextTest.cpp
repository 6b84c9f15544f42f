#include "kestrel/serial/PortText.h"

#include "tests/support/TextPrinter.h"

#include <gtest/gtest.h>

namespace
{

template <typename T> struct Row {
    const char* text;
    std::optional<T> expected;
};

// Each reader of a text that names a port, row by row: a caption's cut, the port box's text,
// a HiLink stick's address in the box and as a web address.
TEST(PortText, EachReaderTakesItsFormAndRefusesTheRest)
{
    using Reader = std::optional<QString> (*)(const QString&);
    const struct {
        Reader read;
        Row<QString> row;
    } rows[] = {
        {cutPortText, {"HUAWEI Mobile Connect - 3G PC UI Interface (USB2)", "2"}},
        {cutPortText, {"HUAWEI Mobile Connect - 3G PC UI Interface (COM3)", "3"}},
        {cutPortText, {"Modem (USB123456)", "123456"}},
        {cutPortText, {"HUAWEI Mobile Connect", std::nullopt}},
        {cutPortText, {"HUAWEI (USB2", std::nullopt}},
        {cutPortText, {"HUAWEI (US)", std::nullopt}}, // the closing mark too near the opening one
        {cutPortText, {"HUAWEI (USB)", ""}},
        {cutPortText, {"HU) (USB2)", std::nullopt}},
        {cutPortText, {"HUAWEI (x) (USB3)", std::nullopt}}, // the first pair counts
        {cutPortText, {"HUAWEI USB7)", "WEI USB7"}},        // no opening mark: cut from the start
        {portTextFromBoxText, {"5", "5"}},
        {portTextFromBoxText, {"HUAWEI Mobile Connect - 3G PC UI Interface (USB2)", "2"}},
        {portTextFromBoxText, {"hu", "hu"}},
        {portTextFromBoxText, {"Modem (USB4)", "Modem (USB4)"}},
        // A device path, though a by-id name holds "HU" and a "(".
        {portTextFromBoxText,
         {" /dev/serial/by-id/usb-HUAWEI_(1)-if02 ", "/dev/serial/by-id/usb-HUAWEI_(1)-if02"}},
        {portTextFromBoxText, {"HUAWEI", std::nullopt}},
        {portTextFromBoxText, {"", ""}},
        {hilinkAddressFromBoxText, {"HiLink 127.0.0.2", "127.0.0.2"}},
        {hilinkAddressFromBoxText, {" HiLink   127.0.0.1:8080 ", "127.0.0.1:8080"}},
        {hilinkAddressFromBoxText, {"HiLink [::1]:80", "[::1]:80"}},
        // The word as the port box writes it.
        {hilinkAddressFromBoxText, {"hilink 127.0.0.2", std::nullopt}},
        {hilinkAddressFromBoxText, {"HiLink", std::nullopt}},
        {hilinkAddressFromBoxText, {"HiLink 127.0.0.2/api", std::nullopt}},
        {hilinkAddressFromBoxText, {"HiLink admin@127.0.0.2", std::nullopt}},
        {hilinkAddressFromBoxText, {"HiLink 127.0.0.2?x=1", std::nullopt}},
        {hilinkAddressFromBoxText, {"HiLink 127.0.0.2 extra", std::nullopt}},
        {hilinkAddressFromUrl, {"http://127.0.0.2", "127.0.0.2"}},
        {hilinkAddressFromUrl, {"http://127.0.0.1:18455/", "127.0.0.1:18455"}},
        {hilinkAddressFromUrl, {"https://127.0.0.2", std::nullopt}},
        {hilinkAddressFromUrl, {"127.0.0.2", std::nullopt}},
        {hilinkAddressFromUrl, {"http://127.0.0.2/html/home.html", std::nullopt}},
        {hilinkAddressFromUrl, {"http://user:pw@127.0.0.2", std::nullopt}},
    };
    for (const auto& [read, row] : rows)
        EXPECT_EQ(read(QString::fromLatin1(row.text)), row.expected) << row.text;
}

TEST(PortText, ConvertsWholeNumbersOnly)
{
    const Row<qint16> rows[] = {
        {"5", 5},         {" 12 ", 12},  {"07", 7},   {"+4", 4}, {"-1", -1},
        {"32767", 32767}, {"32768", {}}, {"hu", {}},  {"", {}},  {"3.5", {}},
        {"12abc", {}},    {"-", {}},     {"1 2", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(portNumberFromText(QString::fromLatin1(row.text)), row.expected) << row.text;
}

} // namespace
