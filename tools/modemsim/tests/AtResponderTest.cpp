#include "tools/modemsim/AtResponder.h"

#include "tools/modemsim/LineAssembler.h"
#include "tools/modemsim/ScenarioPlayer.h"
#include "tools/modemsim/UnsolicitedLines.h"

#include <gtest/gtest.h>

using namespace modemsim;

namespace
{

// The stick's state after `setUp`: scenario lines, as a test or a user sets up the network,
// then the monitor's own AT commands, which must be accepted; ';' between them.
ModemState stateAfter(const QString& setUp)
{
    ModemSimulator sim;         // not started: the actions only change its state
    QList<QByteArray> commands; // and what is not a scenario line, a mistyped one too
    for (const QString& item : setUp.split(';', Qt::SkipEmptyParts)) {
        if (const ParsedLine parsed = parseScenarioLine(item); parsed.step)
            applyAction(sim, parsed.step->action);
        else
            commands << item.trimmed().toLatin1();
    }
    ModemState state = sim.state();
    for (const QByteArray& command : commands)
        EXPECT_EQ(respond(state, command).wire(), "\r\nOK\r\n") << command.constData();
    return state;
}

} // namespace

// The replies to the queries of the monitor's polling cycle: the line, framed as the stick frames
// it with its "OK"; no line stands for "ERROR".
TEST(AtResponder, AnswersTheMonitorsQueries)
{
    const struct {
        const char* setUp;
        QByteArray command;
        QByteArray line;
    } rows[] = {
        {"", "AT+COPS?", "+COPS: 0,0,\"TestNet\",2"},
        {"operator \"Test Net Two\" TNT 00101", "AT+COPS?", "+COPS: 0,0,\"Test Net Two\",2"},
        {"no-operator", "AT+COPS?", "+COPS: 0"},
        {"network lte; AT+COPS=0,2", "AT+COPS?", "+COPS: 0,2,\"310260\",7"},
        {"", "AT+CSQ", "+CSQ: 20,99"},
        {"", "AT+CGREG?", "+CGREG: 0,1"},
        {"AT+CGREG=2", "AT+CGREG?", "+CGREG: 2,1, 1A2B, 00C3D4E5"},
        {"quoted-cgreg on; AT+CGREG=2", "AT+CGREG?", "+CGREG: 2,1,\"1A2B\",\"00C3D4E5\""},
        {"deregistered; AT+CGREG=2", "AT+CGREG?", "+CGREG: 2,0"},
        {"network lte; AT+CEREG=2", "AT+CEREG?", "+CEREG: 2,1,\"1A2B\",\"01A2D001\",7"},
        {"", "AT+CEREG?", ""},
        {"network nsa", "AT+COPS?", "+COPS: 0,0,\"T-Mobile\",13"},
        // A 4G stick's cell figures; the RSSI follows +CSQ.
        {"network lte", "AT^HCSQ?", "^HCSQ:\"LTE\",48,45,181,18"},
        {"network lte; rssi 99; rsrp -44; sinr 16.1; rsrq -19.5", "AT^HCSQ?",
         "^HCSQ:\"LTE\",255,97,181,1"},
        {"network nsa; rssi 22; rsrp nr -80; sinr 12.4", "AT^HCSQ?",
         "^HCSQ:\"LTE\",52,45,163,18\r\n^HCSQ:\"NR\",61,236,31"},
        {"network nsa; refuse-hcsq on", "AT^HCSQ?", ""},
        {"network lte; rsrq -7; rsrp -140", "AT+CESQ", "+CESQ: 99,99,255,255,26,1"},
        {"network lte; AT^SYSCFG=14,2,3fffffff,0,1", "AT+CESQ", "+CESQ: 99,99,255,255,255,255"},
        {"network lte", "AT^HFREQINFO?", "^HFREQINFO:0,6,1,425,21525,15000,18425,19625,15000"},
        {"", "AT^HCSQ?", ""},
        {"", "AT+CESQ", ""},
        {"", "AT^HFREQINFO?", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.setUp) + " | " + row.command.toStdString());
        ModemState state = stateAfter(QString::fromUtf8(row.setUp));
        EXPECT_EQ(respond(state, row.command).wire(),
                  row.line.isEmpty() ? "\r\nERROR\r\n" : "\r\n" + row.line + "\r\n\r\nOK\r\n");
    }
}

// The monitor's network modes, one after another on each stick: ^SYSCFG locks a 3G stick (and a
// 4G one) to 2G or 3G or lets it follow the network; ^SYSCFGEX, which only a 4G stick knows (see
// +CEREG above), moves it back to LTE.
TEST(AtResponder, TheMonitorsNetworkModesMoveTheStick)
{
    const QByteArray only3g = "AT^SYSCFG=14,2,3fffffff,0,1";
    const QByteArray preferred3g = "AT^SYSCFG=2,2,3fffffff,0,1";
    const QByteArray only2g = "AT^SYSCFG=13,1,3FFFFFFF,0,1";
    const QByteArray preferred4g = "AT^SYSCFGEX=\"030201\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,";
    const QByteArray automatic = "AT^SYSCFGEX=\"00\",3FFFFFFF,2,4,7FFFFFFFFFFFFFFF,,";
    const struct {
        const char* stick;
        std::vector<std::pair<QByteArray, Technology>> steps;
    } sticks[] = {
        {"tech 2g", {{only3g, Technology::Umts}, {preferred3g, Technology::Gsm}}},
        {"network lte",
         {{only3g, Technology::Umts},
          {preferred4g, Technology::Lte},
          {only2g, Technology::Gsm},
          {automatic, Technology::Lte}}},
    };
    for (const auto& stick : sticks) {
        ModemState state = stateAfter(QString::fromUtf8(stick.stick));
        for (const auto& [command, technology] : stick.steps) {
            SCOPED_TRACE(std::string(stick.stick) + " | " + command.toStdString());
            EXPECT_EQ(respond(state, command).wire(), "\r\nOK\r\n");
            EXPECT_EQ(state.technology(), technology);
        }
    }
}

// An overlong line is dropped and the next one served.
TEST(LineAssembler, CutsAtCrAndDropsTheLfAfterIt)
{
    LineAssembler lines;
    QList<QByteArray> out;
    for (const char c :
         "AT+CSQ\r\nAT\rATI\n\r" + QByteArray(LineAssembler::kMaxLineLength + 10, 'A') + "\rAT\r")
        if (auto line = lines.feed(c))
            out.append(*line);
    EXPECT_EQ(out, (QList<QByteArray>{"AT+CSQ", "AT", "ATI\n", "AT"}));
}

// One report of each kind the monitor reads between its replies.
TEST(UnsolicitedLines, AreFramedAsTheStickSendsThem)
{
    const struct {
        const char* setUp;
        Unsolicited kind;
        QByteArray framed;
    } rows[] = {
        {"rssi 12", Unsolicited::Rssi, "\r\n^RSSI:12\r\n"},
        {"", Unsolicited::Mode, "\r\n^MODE:5,4\r\n"},
        {"", Unsolicited::DsFlowRpt,
         "\r\n^DSFLOWRPT:0000003C,000004B0,00001518,0000000000011940,000000000004F1A0,0003E800,"
         "0003E800\r\n"},
        {"network nsa", Unsolicited::Hcsq,
         "\r\n^HCSQ:\"LTE\",48,45,181,18\r\n\r\n^HCSQ:\"NR\",77,236,31\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.framed.toStdString());
        EXPECT_EQ(framedReport(row.kind, stateAfter(QString::fromUtf8(row.setUp)),
                               {60, 1200, 5400, 72000, 324000}),
                  row.framed);
    }
}
