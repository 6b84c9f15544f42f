#pragma once

#include "tools/modemsim/AtReply.h"
#include "tools/modemsim/ModemState.h"
#include "tools/modemsim/UnsolicitedLines.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <variant>
#include <vector>

namespace modemsim
{

// The actions a scenario line can name (README.md lists their spelling).
namespace action
{
using std::chrono::milliseconds;
struct Rssi {
    int value;
    bool operator==(const Rssi&) const = default;
};
struct Operator {
    QString longName, shortName, numeric;
    bool operator==(const Operator&) const = default;
};
struct NoOperator {
    bool operator==(const NoOperator&) const = default;
};
struct Tech {
    Technology technology;
    bool operator==(const Tech&) const = default;
};
struct RegistrationStatus {
    int status;
    bool operator==(const RegistrationStatus&) const = default;
};
struct Lac {
    quint32 value;
    bool operator==(const Lac&) const = default;
};
struct Cell {
    quint32 value;
    bool operator==(const Cell&) const = default;
};
struct CopsFormat {
    int format;
    bool operator==(const CopsFormat&) const = default;
};
struct QuotedRegistration {
    bool on;
    bool operator==(const QuotedRegistration&) const = default;
};
struct Echo {
    bool on;
    bool operator==(const Echo&) const = default;
};
struct Latency {
    milliseconds value;
    bool operator==(const Latency&) const = default;
};
struct CopsLatency {
    milliseconds value;
    bool operator==(const CopsLatency&) const = default;
};
struct Split {
    ReplySplit split;
    milliseconds pause;
    bool operator==(const Split&) const = default;
};
struct Silent {
    std::optional<milliseconds> duration; // none: for good
    bool operator==(const Silent&) const = default;
};
struct Speak {
    bool operator==(const Speak&) const = default;
};
struct Garbage {
    int bytes;
    bool operator==(const Garbage&) const = default;
};
struct Flood {
    qint64 bytes;       // 0 stops a flood
    int bytesPerSecond; // 0: as fast as the client reads
    bool operator==(const Flood&) const = default;
};
struct Unplug {
    bool operator==(const Unplug&) const = default;
};
struct Replug {
    QString linkName; // empty: the same link; else a new link of this name beside the old one
    bool operator==(const Replug&) const = default;
};
struct Report {
    Unsolicited kind;
    bool on;
    milliseconds period;
    bool operator==(const Report&) const = default;
};
struct Quit {
    bool operator==(const Quit&) const = default;
};
// `network lte`: a 4G stick on an LTE network (useLteStick); `network nsa`: a 5G NSA stick
// (useNsaStick).
struct LteNetwork {
    bool nsa = false;
    bool operator==(const LteNetwork&) const = default;
};
// `rsrp [lte|nr] <dBm>`, `sinr [lte|nr] <dB>`, `rsrq [lte|nr] <dB>`: one figure of the LTE cell,
// or of the NR cell an NSA stick shows. `value` is in the unit of that CellQuality member.
struct CellFigure {
    int CellQuality::*figure;
    bool nr;
    int value;
    bool operator==(const CellFigure&) const = default;
};
// `refuse-hcsq on|off`: AT^HCSQ? answers ERROR.
struct RefuseHcsq {
    bool on;
    bool operator==(const RefuseHcsq&) const = default;
};
// `hilink expire-session`: the HiLink session goes stale; `hilink password <pw>` /
// `hilink no-password`: the HiLink login (an empty password: none).
struct Hilink {
    bool expireSession = false;
    QString password;
    bool operator==(const Hilink&) const = default;
};
} // namespace action

using ScenarioAction =
    std::variant<action::Rssi, action::Operator, action::NoOperator, action::Tech,
                 action::RegistrationStatus, action::Lac, action::Cell, action::CopsFormat,
                 action::QuotedRegistration, action::Echo, action::Latency, action::CopsLatency,
                 action::Split, action::Silent, action::Speak, action::Garbage, action::Flood,
                 action::Unplug, action::Replug, action::Report, action::Quit, action::LteNetwork,
                 action::CellFigure, action::RefuseHcsq, action::Hilink>;

// One line: `[at <time>] <action> [arguments]`. Without a time the action is due at once.
struct ScenarioStep {
    std::optional<std::chrono::milliseconds> at;
    ScenarioAction action;
    bool operator==(const ScenarioStep&) const = default;
};

// A parsed line: a step, nothing (blank or comment), or an error in words.
struct ParsedLine {
    std::optional<ScenarioStep> step;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

ParsedLine parseScenarioLine(const QString& line);

// A whole file; errors come as "line <n>: <reason>".
struct Scenario {
    std::vector<ScenarioStep> steps;
    QStringList errors;
};

Scenario parseScenario(const QString& text);

// "5s", "250ms", "1.5s", "2m".
std::optional<std::chrono::milliseconds> parseDuration(const QString& text);
// "512" bytes, "16k" / "16KiB" KiB, "1m" / "1MiB" MiB.
std::optional<qint64> parseSize(const QString& text);

} // namespace modemsim
