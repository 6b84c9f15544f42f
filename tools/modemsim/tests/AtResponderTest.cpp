#include "tools/modemsim/AtResponder.h"

#include "tools/modemsim/LineAssembler.h"
#include "tools/modemsim/LteStick.h"
#include "tools/modemsim/UnsolicitedLines.h"

#include <functional>
#include <gtest/gtest.h>

using namespace modemsim;

namespace
{

struct ReplyRow {
    const char* name;
    std::function<void(ModemState&)> setUp;
    QByteArray command;
    QByteArray wire; // the whole reply as it goes out
};

void checkReplies(const std::vector<ReplyRow>& rows)
{
    for (const ReplyRow& row : rows) {
        SCOPED_TRACE(row.name);
        ModemState state;
        if (row.setUp)
            row.setUp(state);
        EXPECT_EQ(respond(state, row.command).wire(), row.wire);
    }
}

void lteNumeric(ModemState& s)
{
    useLteStick(s);
    s.copsFormat = 2;
}

} // namespace

TEST(AtResponder, OperatorQueryInEachFormatAndTechnology)
{
    checkReplies({
        {"long name, 3G", nullptr, "AT+COPS?", "\r\n+COPS: 0,0,\"TestNet\",2\r\n\r\nOK\r\n"},
        {"short name",
         [](ModemState& s) {
             s.copsFormat = 1;
             s.operatorShort = "TN";
         },
         "AT+COPS?", "\r\n+COPS: 0,1,\"TN\",2\r\n\r\nOK\r\n"},
        {"numeric", [](ModemState& s) { s.copsFormat = 2; }, "AT+COPS?",
         "\r\n+COPS: 0,2,\"00101\",2\r\n\r\nOK\r\n"},
        {"six-digit code, 2G",
         [](ModemState& s) {
             s.copsFormat = 2;
             s.operatorNumeric = "310410";
             s.networkTechnology = Technology::Gsm;
         },
         "AT+COPS?", "\r\n+COPS: 0,2,\"310410\",0\r\n\r\nOK\r\n"},
        {"name with blanks", [](ModemState& s) { s.operatorLong = "Test Net Two"; }, "AT+COPS?",
         "\r\n+COPS: 0,0,\"Test Net Two\",2\r\n\r\nOK\r\n"},
        {"no operator", [](ModemState& s) { s.hasOperator = false; }, "AT+COPS?",
         "\r\n+COPS: 0\r\n\r\nOK\r\n"},
        {"lower case command", nullptr, "at+cops?", "\r\n+COPS: 0,0,\"TestNet\",2\r\n\r\nOK\r\n"},
        {"4G stick on LTE, numeric", lteNumeric, "AT+COPS?",
         "\r\n+COPS: 0,2,\"310260\",7\r\n\r\nOK\r\n"},
        {"3G stick on an LTE network takes its 3G",
         [](ModemState& s) { s.networkTechnology = Technology::Lte; }, "AT+COPS?",
         "\r\n+COPS: 0,0,\"TestNet\",2\r\n\r\nOK\r\n"},
    });
}

TEST(AtResponder, OperatorFormatSwitching)
{
    struct Row {
        const char* name;
        QByteArray command;
        QByteArray wire;
        int formatAfter;
    };
    const Row rows[] = {
        {"numeric, as the monitor asks", "AT+COPS=0,2", "\r\nOK\r\n", 2},
        {"long name, as the monitor asks", "AT+COPS=0,0", "\r\nOK\r\n", 0},
        {"format only", "AT+COPS=3,1", "\r\nOK\r\n", 1},
        {"mode alone keeps the format", "AT+COPS=0", "\r\nOK\r\n", 1},
        {"manual selection is not allowed", "AT+COPS=1,2,\"00101\"", "\r\n+CME ERROR: 3\r\n", 1},
        {"deregistration is not allowed", "AT+COPS=2", "\r\n+CME ERROR: 3\r\n", 1},
        {"format out of range", "AT+COPS=0,3", "\r\nERROR\r\n", 1},
        {"mode out of range", "AT+COPS=5", "\r\nERROR\r\n", 1},
        {"no parameters", "AT+COPS=", "\r\nERROR\r\n", 1},
    };
    ModemState state; // carried from row to row, as on the stick
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(respond(state, row.command).wire(), row.wire);
        EXPECT_EQ(state.copsFormat, row.formatAfter);
    }
}

TEST(AtResponder, SignalQuality)
{
    checkReplies({
        {"default", nullptr, "AT+CSQ", "\r\n+CSQ: 20,99\r\n\r\nOK\r\n"},
        {"weakest", [](ModemState& s) { s.rssi = 0; }, "AT+CSQ", "\r\n+CSQ: 0,99\r\n\r\nOK\r\n"},
        {"strongest", [](ModemState& s) { s.rssi = 31; }, "AT+CSQ",
         "\r\n+CSQ: 31,99\r\n\r\nOK\r\n"},
        {"no signal", [](ModemState& s) { s.rssi = 99; }, "AT+CSQ",
         "\r\n+CSQ: 99,99\r\n\r\nOK\r\n"},
        {"range query", nullptr, "AT+CSQ=?", "\r\n+CSQ: (0-31,99),(0-7,99)\r\n\r\nOK\r\n"},
    });
}

TEST(AtResponder, RegistrationReportInBothForms)
{
    const auto mode = [](int n) { return [n](ModemState& s) { s.cgregMode = n; }; };
    checkReplies({
        {"n=0", nullptr, "AT+CGREG?", "\r\n+CGREG: 0,1\r\n\r\nOK\r\n"},
        {"n=1", mode(1), "AT+CGREG?", "\r\n+CGREG: 1,1\r\n\r\nOK\r\n"},
        {"n=2, Huawei form", mode(2), "AT+CGREG?", "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n"},
        {"n=2, quoted form",
         [](ModemState& s) {
             s.cgregMode = 2;
             s.quotedRegistration = true;
         },
         "AT+CGREG?", "\r\n+CGREG: 2,1,\"1A2B\",\"00C3D4E5\"\r\n\r\nOK\r\n"},
        {"n=2, not registered: mode and status only",
         [](ModemState& s) {
             s.cgregMode = 2;
             s.registration = Registration::NotRegistered;
         },
         "AT+CGREG?", "\r\n+CGREG: 2,0\r\n\r\nOK\r\n"},
        {"n=2, searching",
         [](ModemState& s) {
             s.cgregMode = 2;
             s.registration = Registration::Searching;
         },
         "AT+CGREG?", "\r\n+CGREG: 2,2\r\n\r\nOK\r\n"},
        {"n=2, roaming carries the location",
         [](ModemState& s) {
             s.cgregMode = 2;
             s.registration = Registration::Roaming;
         },
         "AT+CGREG?", "\r\n+CGREG: 2,5, 1A2B, 00C3D4E5\r\n\r\nOK\r\n"},
        {"2G cell written with four digits",
         [](ModemState& s) {
             s.cgregMode = 2;
             s.networkTechnology = Technology::Gsm;
             s.cellId = 0xC3D4;
         },
         "AT+CGREG?", "\r\n+CGREG: 2,1, 1A2B, C3D4\r\n\r\nOK\r\n"},
        {"large values upper-case",
         [](ModemState& s) {
             s.cgregMode = 2;
             s.lac = 0xfffe;
             s.cellId = 0x8000000a;
         },
         "AT+CGREG?", "\r\n+CGREG: 2,1, FFFE, 8000000A\r\n\r\nOK\r\n"},
        {"+CREG has its own mode",
         [](ModemState& s) {
             s.cgregMode = 2;
             s.cregMode = 1;
         },
         "AT+CREG?", "\r\n+CREG: 1,1\r\n\r\nOK\r\n"},
        {"+CREG n=2", [](ModemState& s) { s.cregMode = 2; }, "AT+CREG?",
         "\r\n+CREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n"},
        {"4G stick: quoted +CGREG",
         [](ModemState& s) {
             useLteStick(s);
             s.cgregMode = 2;
         },
         "AT+CGREG?", "\r\n+CGREG: 2,1,\"1A2B\",\"01A2D001\"\r\n\r\nOK\r\n"},
        {"4G stick: +CEREG with TAC, cell and AcT",
         [](ModemState& s) {
             useLteStick(s);
             s.ceregMode = 2;
         },
         "AT+CEREG?", "\r\n+CEREG: 2,1,\"1A2B\",\"01A2D001\",7\r\n\r\nOK\r\n"},
        {"3G stick knows no +CEREG", nullptr, "AT+CEREG?", "\r\nERROR\r\n"},
    });
}

TEST(AtResponder, RegistrationModeIsSetAndChecked)
{
    struct Row {
        QByteArray command;
        bool ok;
    };
    for (const Row& row :
         {Row{"AT+CGREG=0", true}, Row{"AT+CGREG=2", true}, Row{"AT+CGREG=3", false},
          Row{"AT+CGREG=", false}, Row{"AT+CGREG=x", false}, Row{"AT+CREG=1", true}}) {
        SCOPED_TRACE(row.command.constData());
        ModemState state;
        state.cgregMode = 1;
        const AtReply reply = respond(state, row.command);
        EXPECT_EQ(reply.result, row.ok ? AtReply::Result::Ok : AtReply::Result::Error);
        if (row.command.startsWith("AT+CGREG")) {
            EXPECT_EQ(state.cgregMode, row.ok ? row.command.back() - '0' : 1);
        }
    }
}

TEST(AtResponder, SysCfgMovesTheTechnology)
{
    struct Row {
        const char* name;
        QByteArray command;
        SysCfg expected;
        Technology technology;
    };
    const Row rows[] = {
        {"3G Only", "AT^SYSCFG=14,2,3fffffff,0,1", {14, 2, 0x3FFFFFFF, 0, 1}, Technology::Umts},
        {"GPRS/EDGE Only",
         "AT^SYSCFG=13,1,3FFFFFFF,0,1",
         {13, 1, 0x3FFFFFFF, 0, 1},
         Technology::Gsm},
        {"3G Preferred follows the network",
         "AT^SYSCFG=2,2,3fffffff,0,1",
         {2, 2, 0x3FFFFFFF, 0, 1},
         Technology::Gsm},
        {"no-change values keep every field",
         "AT^SYSCFG=16,3,40000000,2,4",
         {2, 2, 0x3FFFFFFF, 0, 1},
         Technology::Gsm},
    };
    ModemState state;
    state.networkTechnology = Technology::Gsm;
    state.sysCfg.mode = 14;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(respond(state, row.command).wire(), "\r\nOK\r\n");
        EXPECT_EQ(state.sysCfg, row.expected);
        EXPECT_EQ(state.technology(), row.technology);
    }
    EXPECT_EQ(respond(state, "AT^SYSCFG?").wire(), "\r\n^SYSCFG:2,2,3FFFFFFF,0,1\r\n\r\nOK\r\n");
}

TEST(LineAssembler, CutsAtCrAndDropsTheLfAfterIt)
{
    LineAssembler lines;
    QList<QByteArray> out;
    for (const char c : QByteArray("AT+CSQ\r\nAT\rATI\n\r"))
        if (auto line = lines.feed(c))
            out.append(*line);
    EXPECT_EQ(out, (QList<QByteArray>{"AT+CSQ", "AT", "ATI\n"}));
}

TEST(LineAssembler, OverlongLineIsDroppedAndTheNextOneServed)
{
    LineAssembler lines;
    for (int i = 0; i < LineAssembler::kMaxLineLength + 10; ++i)
        EXPECT_FALSE(lines.feed('A'));
    EXPECT_FALSE(lines.feed('\r'));
    for (const char c : QByteArray("AT"))
        lines.feed(c);
    EXPECT_EQ(lines.feed('\r'), QByteArray("AT"));
}

TEST(UnsolicitedLines, ModeFollowsTechnologyAndRegistration)
{
    ModemState state;
    EXPECT_EQ(modeReport(state), "^MODE:5,4");
    state.sysCfg.mode = 13;
    EXPECT_EQ(modeReport(state), "^MODE:3,3");
    state.registration = Registration::Searching;
    EXPECT_EQ(modeReport(state), "^MODE:0,0");
    EXPECT_EQ(framedReport(Unsolicited::Rssi, state, {}), "\r\n^RSSI:20\r\n");
}

TEST(AtResponder, SysCfgExMovesA4GStick)
{
    struct Row {
        const char* name;
        QByteArray command;
        bool ok;
        Technology technology;
    };
    const Row rows[] = {
        {"3G only", "AT^SYSCFGEX=\"02\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,", true, Technology::Umts},
        {"bad order", "AT^SYSCFGEX=\"04\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,", false,
         Technology::Umts},
        {"4G Preferred", "AT^SYSCFGEX=\"030201\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,", true,
         Technology::Lte},
    };
    ModemState state; // carried from row to row, as on the stick
    useLteStick(state);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(respond(state, row.command).result,
                  row.ok ? AtReply::Result::Ok : AtReply::Result::Error);
        EXPECT_EQ(state.technology(), row.technology);
    }
    EXPECT_EQ(respond(state, "AT^SYSCFGEX?").wire(),
              "\r\n^SYSCFGEX:\"030201\",3FFFFFFF,1,2,7FFFFFFFFFFFFFFF\r\n\r\nOK\r\n");
    ModemState threeG;
    EXPECT_EQ(respond(threeG, rows[0].command).wire(), "\r\nERROR\r\n");
}

TEST(UnsolicitedLines, HcsqFollowsTechnologyAndLevel)
{
    ModemState state;
    EXPECT_EQ(hcsqReport(state), "^HCSQ:\"WCDMA\",47,42,58");
    useLteStick(state);
    EXPECT_EQ(hcsqReport(state), "^HCSQ:\"LTE\",47,39,120,25");
    state.registration = Registration::Searching;
    EXPECT_EQ(framedReport(Unsolicited::Hcsq, state, {}), "\r\n^HCSQ:\"NOSERVICE\"\r\n");
}

TEST(UnsolicitedLines, FlowReportHasSevenHexFields)
{
    const QByteArray line = flowReport({60, 1200, 5400, 72000, 324000});
    EXPECT_EQ(line, "^DSFLOWRPT:0000003C,000004B0,00001518,0000000000011940,000000000004F1A0,"
                    "0003E800,0003E800");
}
