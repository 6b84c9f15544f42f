#include "tools/cellsvc/ExportRow.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace cellsvc;

namespace
{

TEST(ExportRow, GoodRowsAreRead)
{
    const struct {
        const char* name;
        std::string line;
        std::string_view radio;
        int mcc, net;
        std::int64_t area, cell;
        double lon, lat;
        std::int64_t samples, updated;
    } rows[] = {
        {"UmtsLongCellId",
         "UMTS,262,2,801,86355,0,13.285512,52.522202,1000,7,1,1282569574,1300155341,0", "UMTS", 262,
         2, 801, 86355, 13.285512, 52.522202, 7, 1300155341},
        {"CarriageReturnAtEnd", "GSM,250,1,78,314,0,37.6173,55.7558,1200,14,1,1,2,-81\r", "GSM",
         250, 1, 78, 314, 37.6173, 55.7558, 14, 2},
        {"EmptyOptionalFields", "LTE,1,1,7,59273732,,2.335529,-48.852312,,,,,,", "LTE", 1, 1, 7,
         59273732, 2.335529, -48.852312, 0, 0},
        {"CdmaSystemIdAboveMncRange", "CDMA,310,32767,1,2,0,-74,40.7,100,1,1,1,2,0", "CDMA", 310,
         32767, 1, 2, -74, 40.7, 1, 2},
        {"ZeroNetAreaAndCell", "GSM,1,0,0,0,0,0,0,1,1,1,1,2,0", "GSM", 1, 0, 0, 0, 0, 0, 1, 2},
        {"NrCellIdBeyond32Bits", "NR,262,1,16777215,68719476735,0,180,-90,10,3,1,1,2,0", "NR", 262,
         1, 16777215, 68719476735, 180, -90, 3, 2},
    };
    for (const auto& e : rows) {
        SCOPED_TRACE(e.name);
        CellRecord r;
        std::string problem;
        ASSERT_TRUE(parseExportRow(e.line, r, problem)) << problem;
        // The decimal text read correctly rounded equals the same literal's double.
        EXPECT_EQ(
            std::tuple(r.radio, r.mcc, r.net, r.area, r.cell, r.lon, r.lat, r.samples, r.updated),
            std::tuple(e.radio, e.mcc, e.net, e.area, e.cell, e.lon, e.lat, e.samples, e.updated));
    }
}

TEST(ExportRow, BadRowsAreRefusedWithAReason)
{
    const struct {
        const char* name;
        std::string line;
        const char* problem; // the report line must say this
    } rows[] = {
        {"ThirteenFields", "GSM,1,1,1,1,0,2.3,48.8,1000,5,1,1,2", "13 fields instead of 14"},
        {"FifteenFields", "GSM,1,1,1,1,0,2.3,48.8,1000,5,1,1,2,0,9", "more than 14 fields"},
        {"LatitudeBeyondPole", "GSM,1,1,1,1,0,2.3,91.5,1000,5,1,1,2,0",
         "lat \"91.5\" is not a latitude"},
        {"LatitudeNotANumber", "GSM,1,1,1,1,0,2.3,nan,1000,5,1,1,2,0", "lat \"nan\""},
        {"LatitudeWithLettersAfter", "GSM,1,1,1,1,0,2.3,48.8x,1000,5,1,1,2,0", "lat \"48.8x\""},
        {"CellWithLetters", "UMTS,1,1,4,12a4,0,2.3,48.8,1000,5,1,1,2,0",
         "cell \"12a4\" is not an integer"},
        {"NegativeCell", "GSM,1,1,1,-5,0,2.3,48.8,1000,5,1,1,2,0", "cell \"-5\" is out of range"},
        {"LowercaseRadio", "gsm,1,1,1,1,0,2.3,48.8,1000,5,1,1,2,0", "radio \"gsm\""},
        {"ControlBytesMasked", std::string("GSM,1,1,1,1\x01\x02,0,2.3,48.8,1,5,1,1,2,0"),
         "cell \"1??\""},
        {"LongFieldCutShort", "GSM,1,1,1," + std::string(100, '7') + "x,0,2,4,1,5,1,1,2,0",
         "cell \"777777777777777777777777...\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CellRecord record;
        std::string problem;
        ASSERT_FALSE(parseExportRow(row.line, record, problem));
        EXPECT_NE(problem.find(row.problem), std::string::npos) << problem;
    }
}

} // namespace
