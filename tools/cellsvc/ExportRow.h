#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cellsvc
{

// One row of the cell export. `radio` points into the line it was read from.
struct CellRecord {
    std::string_view radio; // GSM, UMTS, LTE, CDMA, NR
    int mcc = 0;
    int net = 0;           // MNC; the system ID for CDMA
    std::int64_t area = 0; // LAC or TAC; the network ID for CDMA
    std::int64_t cell = 0; // cell ID; for UMTS the long ID, 65536 x RNC + cell
    std::int64_t unit = 0; // PSC, PCI or the like; 0 when not given
    double lon = 0;
    double lat = 0;
    std::int64_t range = 0;   // metres
    std::int64_t samples = 0; // observations averaged into lon/lat
    std::int64_t changeable = 0;
    std::int64_t created = 0; // Unix time
    std::int64_t updated = 0; // Unix time
    std::int64_t averageSignal = 0;
};

// radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal
constexpr std::string_view kExportHeader = "radio,mcc,net,area,cell,unit,lon,lat,range,samples,"
                                           "changeable,created,updated,averageSignal";

// True for a line that looks like a header (starts with "radio,"), whatever its columns;
// exports of single countries come without one.
bool looksLikeHeader(std::string_view line);

// Reads one data line (without its line break; a trailing carriage return is allowed):
//
//   UMTS,262,2,801,86355,0,13.285512,52.522202,1000,7,1,1282569574,1300155341,0
//
// Radio, mcc, net, area, cell, lon and lat are required; the other fields may be empty and are
// then 0. On failure returns false and says why in `problem`; `record` is then unspecified.
bool parseExportRow(std::string_view line, CellRecord& record, std::string& problem);

} // namespace cellsvc
