#pragma once

#include <QString>
#include <optional>

namespace at
{

// The location fields as last taken, kept from one cycle to the next (empty at start): LAC and
// cell ID of "+CGREG", or tracking area code and E-UTRAN cell ID of "+CEREG".
struct CgregState {
    QString lacText;
    QString cellIdText;
};

// What the report told about the location: nothing (no report found), that there is none now
// (a report without location fields), or a location.
enum class CgregReading { NoReport, NoLocation, Location };

struct CgregOutcome {
    CgregState state; // keep for the next cycle
    CgregReading reading = CgregReading::NoReport;
    // The kept fields in decimal, each when it is one to eight hex digits; none leaves the
    // shown value as it is.
    std::optional<QString> lac;
    std::optional<QString> cellId;
    // The report's <stat> (0 not registered, 1 home, 2 searching, 3 denied, 5 roaming, ...).
    std::optional<int> status;
};

// The reply to "AT+CGREG?" after "AT+CGREG=2", read field by field as 3GPP TS 27.007 writes it:
//   solicited    +CGREG: <n>,<stat>[,<lac>,<ci>[,<AcT>,<rac>...]]
//   unsolicited  +CGREG: <stat>[,<lac>,<ci>[,<AcT>...]]
// for example
//   "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n"         Huawei 3G stick: LAC 6699, cell
//   12834021
//   "\r\n+CGREG: 2,1,\"8BE3\",\"00002B5D\",3\r\n\r\nOK\r\n"   3GPP form with AcT: 35811, 11101
//   "\r\n+CGREG: 2,0\r\n\r\nOK\r\n"                        no location: the kept fields are shown
//   again
// Fields are split at commas; blanks around a field and the quotes around it do not count. A
// second field of one bare digit is <stat> (the solicited form), anything else there is a <lac>
// (the unsolicited form). Of several "+CGREG:" lines the solicited one is read, so a report that
// arrived before it does not stand in its way; text before the line does not matter.
// - No report line, or a solicited one of <n> 0 or 1 (no location reporting) that carries no
//   location fields, changes nothing.
// - Otherwise, when both location fields are there, not both all zeros (no cell), and the line
//   is whole (its line end came), they become the kept fields whatever the <stat>; the kept
//   fields are then given in decimal, each when it is one to eight hex digits.
// A <stat> padded with zeros ("+CGREG:002,001,...", Iridium) is still a <stat>.
CgregOutcome parseCgregReply(const QString& reply, const CgregState& kept);

// The same for the reply to "AT+CEREG?" after "AT+CEREG=2", on LTE:
//   "\r\n+CEREG: 2,1,\"1A2B\",\"01A2D001\",7\r\n\r\nOK\r\n"   TAC 6699, E-UTRAN cell ID 27447297
// where a solicited line of <n> 2 with one field too many before the technology (Novatel's
// "+CEREG: 2,1, 1F00, 20 ,79D903 ,7") has its cell ID after that extra field.
CgregOutcome parseCeregReply(const QString& reply, const CgregState& kept);

} // namespace at
