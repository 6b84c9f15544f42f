#include "platform/serial/LineSettings.h"

#include <gtest/gtest.h>

namespace
{

struct SettingsRow {
    const char* name;
    const char* text;
    std::optional<LineSettings> expected;
};

class LineSettingsTest : public testing::TestWithParam<SettingsRow>
{
};

TEST_P(LineSettingsTest, Parses)
{
    EXPECT_EQ(parseLineSettings(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

const SettingsRow settingsRows[] = {
    {"ModemRateNotInStandardList", "128000,N,8,1",
     LineSettings{128000, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop}},
    {"EvenSevenTwoLowerCase", "9600,e,7,2",
     LineSettings{9600, QSerialPort::EvenParity, QSerialPort::Data7, QSerialPort::TwoStop}},
    {"SpacesAroundFields", " 4800 , O , 5 , 1 ",
     LineSettings{4800, QSerialPort::OddParity, QSerialPort::Data5, QSerialPort::OneStop}},
    {"MissingField", "128000,N,8", std::nullopt},
    {"ExtraField", "128000,N,8,1,1", std::nullopt},
    {"UnknownParity", "128000,X,8,1", std::nullopt},
    {"EmptyParity", "128000,,8,1", std::nullopt},
    {"FourDataBits", "128000,N,4,1", std::nullopt},
    {"NineDataBits", "128000,N,9,1", std::nullopt},
    {"OneAndAHalfStopBits", "128000,N,8,1.5", std::nullopt},
    {"ZeroRate", "0,N,8,1", std::nullopt},
    {"NegativeRate", "-9600,N,8,1", std::nullopt},
    {"TextRate", "fast,N,8,1", std::nullopt},
    {"Empty", "", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Rows, LineSettingsTest, testing::ValuesIn(settingsRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
