#include "tools/cellsvc/ExportRow.h"

#include <gtest/gtest.h>
#include <ostream>
#include <tuple>

using namespace cellsvc;

namespace
{

struct Good {
    const char* name;
    std::string line;
    std::string_view radio;
    int mcc, net;
    std::int64_t area, cell;
    double lon, lat;
    std::int64_t samples, updated;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const Good& row, std::ostream* out)
{
    *out << row.name;
}

class GoodRow : public testing::TestWithParam<Good>
{
};

TEST_P(GoodRow, IsRead)
{
    CellRecord r;
    std::string problem;
    ASSERT_TRUE(parseExportRow(GetParam().line, r, problem)) << problem;
    const Good& e = GetParam();
    EXPECT_EQ(std::tuple(r.radio, r.mcc, r.net, r.area, r.cell, r.samples, r.updated),
              std::tuple(e.radio, e.mcc, e.net, e.area, e.cell, e.samples, e.updated));
    EXPECT_DOUBLE_EQ(r.lon, e.lon);
    EXPECT_DOUBLE_EQ(r.lat, e.lat);
}

INSTANTIATE_TEST_SUITE_P(
    ExportRow, GoodRow,
    testing::Values(
        Good{"UmtsLongCellId",
             "UMTS,262,2,801,86355,0,13.285512,52.522202,1000,7,1,1282569574,1300155341,0", "UMTS",
             262, 2, 801, 86355, 13.285512, 52.522202, 7, 1300155341},
        Good{"CarriageReturnAtEnd", "GSM,250,1,78,314,0,37.6173,55.7558,1200,14,1,1,2,-81\r", "GSM",
             250, 1, 78, 314, 37.6173, 55.7558, 14, 2},
        Good{"EmptyOptionalFields", "LTE,1,1,7,59273732,,2.335529,-48.852312,,,,,,", "LTE", 1, 1, 7,
             59273732, 2.335529, -48.852312, 0, 0},
        Good{"CdmaSystemIdAboveMncRange", "CDMA,310,32767,1,2,0,-74,40.7,100,1,1,1,2,0", "CDMA",
             310, 32767, 1, 2, -74, 40.7, 1, 2},
        Good{"NrCellIdBeyond32Bits", "NR,262,1,16777215,68719476735,0,180,-90,10,3,1,1,2,0", "NR",
             262, 1, 16777215, 68719476735, 180, -90, 3, 2}),
    [](const auto& info) { return std::string(info.param.name); });

struct Bad {
    const char* name;
    std::string line;
    const char* problem; // the report line must say this
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const Bad& row, std::ostream* out)
{
    *out << row.name;
}

class BadRowTest : public testing::TestWithParam<Bad>
{
};

TEST_P(BadRowTest, IsRefusedWithAReason)
{
    CellRecord record;
    std::string problem;
    ASSERT_FALSE(parseExportRow(GetParam().line, record, problem));
    EXPECT_NE(problem.find(GetParam().problem), std::string::npos) << problem;
}

INSTANTIATE_TEST_SUITE_P(
    ExportRow, BadRowTest,
    testing::Values(
        Bad{"ThirteenFields", "GSM,1,1,1,1,0,2.3,48.8,1000,5,1,1,2", "13 fields instead of 14"},
        Bad{"FifteenFields", "GSM,1,1,1,1,0,2.3,48.8,1000,5,1,1,2,0,9", "more than 14 fields"},
        Bad{"LatitudeBeyondPole", "GSM,1,1,1,1,0,2.3,91.5,1000,5,1,1,2,0",
            "lat \"91.5\" is not a latitude"},
        Bad{"LongitudeBeyondAntimeridian", "GSM,1,1,1,1,0,180.5,48.8,1000,5,1,1,2,0",
            "lon \"180.5\" is not a longitude"},
        Bad{"LatitudeNotANumber", "GSM,1,1,1,1,0,2.3,nan,1000,5,1,1,2,0", "lat \"nan\""},
        Bad{"CellWithLetters", "UMTS,1,1,4,12a4,0,2.3,48.8,1000,5,1,1,2,0",
            "cell \"12a4\" is not an integer"},
        Bad{"NegativeCell", "GSM,1,1,1,-5,0,2.3,48.8,1000,5,1,1,2,0",
            "cell \"-5\" is out of range"},
        Bad{"LowercaseRadio", "gsm,1,1,1,1,0,2.3,48.8,1000,5,1,1,2,0", "radio \"gsm\""},
        Bad{"ControlBytesMasked", std::string("GSM,1,1,1,1\x01\x02,0,2.3,48.8,1,5,1,1,2,0"),
            "cell \"1??\""},
        Bad{"LongFieldCutShort", "GSM,1,1,1," + std::string(100, '7') + "x,0,2,4,1,5,1,1,2,0",
            "cell \"777777777777777777777777...\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportHeader, OnlyARadioColumnFirstMakesAHeader)
{
    EXPECT_TRUE(looksLikeHeader(kExportHeader));
    EXPECT_TRUE(looksLikeHeader("radio,mcc,mnc,lac,cid"));
    EXPECT_FALSE(looksLikeHeader("GSM,262,2,801,86355,0,13.28,52.52,1000,7,1,1,2,0"));
}

} // namespace
