#include "tools/modemsim/Scenario.h"

#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

namespace modemsim
{

using std::chrono::milliseconds;

namespace
{

// Splits on blanks; "double quotes" hold a token with blanks; '#' outside quotes ends the line.
std::optional<QStringList> tokenize(const QString& line, QString* error)
{
    QStringList tokens;
    QString current;
    bool inToken = false;
    bool quoted = false;
    for (const QChar c : line) {
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else
                current += c;
            continue;
        }
        if (c == u'#')
            break;
        if (c.isSpace()) {
            if (inToken)
                tokens.append(current);
            current.clear();
            inToken = false;
            continue;
        }
        inToken = true;
        if (c == u'"')
            quoted = true;
        else
            current += c;
    }
    if (quoted) {
        *error = QStringLiteral("unclosed quote");
        return std::nullopt;
    }
    if (inToken)
        tokens.append(current);
    return tokens;
}

std::optional<int> wholeNumber(const QString& text, int low, int high)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<quint32> hexNumber(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    if (!hex.match(text).hasMatch())
        return std::nullopt;
    return text.toUInt(nullptr, 16);
}

std::optional<bool> onOff(const QString& text)
{
    if (text == u"on")
        return true;
    if (text == u"off")
        return false;
    return std::nullopt;
}

// A rate such as "4k/s" or "100/s", in bytes per second.
std::optional<int> parseRate(const QString& text)
{
    if (!text.endsWith(u"/s"))
        return std::nullopt;
    const auto size = parseSize(text.chopped(2));
    if (!size || *size > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*size);
}

using Args = QStringList;
using Result = std::variant<ScenarioAction, QString>; // the action or what is wrong
using Parser = std::function<Result(const Args&)>;

QString expects(const char* what)
{
    return QStringLiteral("expects %1").arg(QLatin1String(what));
}

Parser noArguments(const ScenarioAction& action)
{
    return [action](const Args& args) -> Result {
        if (!args.isEmpty())
            return expects("no arguments");
        return action;
    };
}

// An action with one argument, which `read` turns into the value `make` takes.
template <typename Value>
Parser oneArgument(std::function<std::optional<Value>(const QString&)> read, const char* expected,
                   std::function<ScenarioAction(Value)> make)
{
    return [read, expected, make](const Args& args) -> Result {
        const auto value = args.size() == 1 ? read(args[0]) : std::nullopt;
        if (!value)
            return expects(expected);
        return make(*value);
    };
}

Parser numberArgument(int low, int high, const char* expected,
                      std::function<ScenarioAction(int)> make)
{
    return oneArgument<int>(
        [low, high](const QString& text) { return wholeNumber(text, low, high); }, expected,
        std::move(make));
}

Parser durationArgument(std::function<ScenarioAction(milliseconds)> make)
{
    return oneArgument<milliseconds>(parseDuration, "a duration such as 200ms or 2s",
                                     std::move(make));
}

Parser onOffArgument(std::function<ScenarioAction(bool)> make)
{
    return oneArgument<bool>(onOff, "on or off", std::move(make));
}

Parser hexArgument(std::function<ScenarioAction(quint32)> make)
{
    return oneArgument<quint32>(hexNumber, "one to eight hexadecimal digits", std::move(make));
}

// A cell figure: an optional "lte" or "nr", then a number from `low` to `high` in whole units,
// or with `tenths` in tenths of the unit, written with at most one decimal ("-7", "12.4").
Parser cellFigure(int CellQuality::*figure, int low, int high, bool tenths, const char* expected)
{
    return [=](const Args& args) -> Result {
        static const QRegularExpression number(QStringLiteral("^(-?)([0-9]{1,3})(?:\\.([0-9]))?$"));
        const QString leg = args.size() == 2 ? args[0].toLower() : QStringLiteral("lte");
        const auto match = number.match(args.value(args.size() - 1));
        if (args.isEmpty() || args.size() > 2 || (leg != u"lte" && leg != u"nr") ||
            !match.hasMatch() || (!tenths && match.hasCaptured(3)))
            return expects(expected);
        const int magnitude =
            match.captured(2).toInt() * (tenths ? 10 : 1) + match.captured(3).toInt();
        const int value = match.captured(1).isEmpty() ? magnitude : -magnitude;
        if (value < low || value > high)
            return expects(expected);
        return action::CellFigure{figure, leg == u"nr", value};
    };
}

Result parseOperator(const Args& args)
{
    static const QRegularExpression code(QStringLiteral("^[0-9]{5,6}$"));
    if ((args.size() != 2 && args.size() != 3) || !code.match(args.last()).hasMatch())
        return expects("a name, an optional short name and a five- or six-digit code");
    const QString shortName = args.size() == 3 ? args[1] : args[0];
    return action::Operator{args[0], shortName, args.last()};
}

Result parseTech(const Args& args)
{
    const QString t = args.value(0).toLower();
    if (args.size() == 1 && (t == u"2g" || t == u"gsm"))
        return action::Tech{Technology::Gsm};
    if (args.size() == 1 && (t == u"3g" || t == u"umts" || t == u"wcdma"))
        return action::Tech{Technology::Umts};
    if (args.size() == 1 && (t == u"4g" || t == u"lte"))
        return action::Tech{Technology::Lte};
    return expects("2g, 3g or 4g");
}

Result parseSplit(const Args& args)
{
    if (args.size() == 1 && args[0] == u"off")
        return action::Split{ReplySplit::Whole, milliseconds{0}};
    const auto pause = args.size() == 2 ? parseDuration(args[1]) : std::nullopt;
    if (pause && args[0] == u"lines")
        return action::Split{ReplySplit::PerLine, *pause};
    if (pause && args[0] == u"halves")
        return action::Split{ReplySplit::Halves, *pause};
    return expects("off, or lines or halves with a pause");
}

Result parseSilent(const Args& args)
{
    if (args.size() == 1 && args[0] == u"forever")
        return action::Silent{std::nullopt};
    const auto d = args.size() == 1 ? parseDuration(args[0]) : std::nullopt;
    if (!d)
        return expects("a duration or forever");
    return action::Silent{*d};
}

Result parseGarbage(const Args& args)
{
    const auto size = args.size() == 1 ? parseSize(args[0]) : std::nullopt;
    if (!size || *size > 16 * 1024 * 1024)
        return expects("a size up to 16m");
    return action::Garbage{static_cast<int>(*size)};
}

Result parseFlood(const Args& args)
{
    if (args.size() == 1 && args[0] == u"off")
        return action::Flood{0, 0};
    const auto size = !args.isEmpty() && args.size() <= 2 ? parseSize(args[0]) : std::nullopt;
    const auto rate = args.size() == 2 ? parseRate(args[1]) : std::optional<int>(0);
    if (!size || !rate)
        return expects("a size and an optional rate such as 4k/s, or off");
    return action::Flood{*size, *rate};
}

Result parseReplug(const Args& args)
{
    if (args.isEmpty())
        return action::Replug{};
    if (args.size() == 1 && !args[0].contains(QLatin1Char('/')) && args[0] != QLatin1String(".") &&
        args[0] != QLatin1String(".."))
        return action::Replug{args[0]};
    return expects("nothing, or the name of the new link such as ttyUSB3");
}

Result parseReport(const Args& args)
{
    static const std::map<QString, Unsolicited> kinds = {
        {QStringLiteral("rssi"), Unsolicited::Rssi},
        {QStringLiteral("mode"), Unsolicited::Mode},
        {QStringLiteral("boot"), Unsolicited::Boot},
        {QStringLiteral("dsflowrpt"), Unsolicited::DsFlowRpt},
        {QStringLiteral("hcsq"), Unsolicited::Hcsq},
    };
    const char* const expected = "rssi, mode, boot, dsflowrpt or hcsq, then on, off or a period";
    const auto kind = kinds.find(args.value(0).toLower());
    if (args.size() != 2 || kind == kinds.end())
        return expects(expected);
    if (const auto on = onOff(args[1]))
        return action::Report{kind->second, *on, milliseconds{0}};
    const auto period = parseDuration(args[1]);
    if (!period || period->count() == 0)
        return expects(expected);
    return action::Report{kind->second, true, *period};
}

const std::map<QString, Parser>& parsers()
{
    using namespace action;
    static const std::map<QString, Parser> table = {
        {QStringLiteral("rssi"),
         numberArgument(0, 99, "a number from 0 to 99", [](int v) { return Rssi{v}; })},
        {QStringLiteral("operator"), parseOperator},
        {QStringLiteral("no-operator"), noArguments(NoOperator{})},
        {QStringLiteral("tech"), parseTech},
        {QStringLiteral("registered"), noArguments(RegistrationStatus{Registration::Home})},
        {QStringLiteral("deregistered"),
         noArguments(RegistrationStatus{Registration::NotRegistered})},
        {QStringLiteral("registration"),
         numberArgument(0, 5, "a status from 0 to 5", [](int v) { return RegistrationStatus{v}; })},
        {QStringLiteral("lac"), hexArgument([](quint32 v) { return Lac{v}; })},
        {QStringLiteral("cell"), hexArgument([](quint32 v) { return Cell{v}; })},
        {QStringLiteral("cops-format"),
         numberArgument(0, 2, "0, 1 or 2", [](int v) { return CopsFormat{v}; })},
        {QStringLiteral("quoted-cgreg"),
         onOffArgument([](bool on) { return QuotedRegistration{on}; })},
        {QStringLiteral("echo"), onOffArgument([](bool on) { return Echo{on}; })},
        {QStringLiteral("latency"), durationArgument([](milliseconds d) { return Latency{d}; })},
        {QStringLiteral("cops-latency"),
         durationArgument([](milliseconds d) { return CopsLatency{d}; })},
        {QStringLiteral("split"), parseSplit},
        {QStringLiteral("silent"), parseSilent},
        {QStringLiteral("speak"), noArguments(Speak{})},
        {QStringLiteral("garbage"), parseGarbage},
        {QStringLiteral("flood"), parseFlood},
        {QStringLiteral("unplug"), noArguments(Unplug{})},
        {QStringLiteral("replug"), parseReplug},
        {QStringLiteral("unsolicited"), parseReport},
        {QStringLiteral("quit"), noArguments(Quit{})},
        {QStringLiteral("network"),
         [](const Args& args) -> Result {
             const QString kind = args.value(0).toLower();
             if (args.size() != 1 || (kind != u"lte" && kind != u"nsa"))
                 return expects("lte or nsa");
             return LteNetwork{kind == u"nsa"};
         }},
        // The ranges the ^HCSQ steps cover.
        {QStringLiteral("rsrp"), cellFigure(&CellQuality::rsrpDbm, -140, -44, false,
                                            "dBm from -140 to -44, after lte or nr if given")},
        {QStringLiteral("sinr"),
         cellFigure(&CellQuality::sinrTenths, -200, 300, true,
                    "dB from -20 to 30 with one decimal at most, after lte or nr if given")},
        {QStringLiteral("rsrq"),
         cellFigure(&CellQuality::rsrqTenths, -195, -30, true,
                    "dB from -19.5 to -3 with one decimal at most, after lte or nr if given")},
        {QStringLiteral("refuse-hcsq"), onOffArgument([](bool on) { return RefuseHcsq{on}; })},
        {QStringLiteral("hilink"),
         [](const Args& args) -> Result {
             const QString what = args.value(0).toLower();
             if (args.size() == 1 && what == u"expire-session")
                 return Hilink{true, {}};
             if (args.size() == 1 && what == u"no-password")
                 return Hilink{false, {}};
             if (args.size() == 2 && what == u"password" && !args[1].isEmpty())
                 return Hilink{false, args[1]};
             return expects("expire-session, no-password, or password and the password");
         }},
    };
    return table;
}

} // namespace

std::optional<milliseconds> parseDuration(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{1,9})(?:\\.([0-9]{1,3}))?(ms|s|m)$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 whole = match.captured(1).toLongLong();
    const QString fraction = match.captured(2);
    const QString unit = match.captured(3);
    const qint64 scale = unit == u"ms" ? 1 : unit == u"s" ? 1000 : 60'000;
    if (!fraction.isEmpty() && unit == u"ms")
        return std::nullopt; // no fractions of a millisecond
    const qint64 fractionMs =
        fraction.isEmpty() ? 0 : fraction.leftJustified(3, u'0').toLongLong() * scale / 1000;
    return milliseconds{whole * scale + fractionMs};
}

std::optional<qint64> parseSize(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,9})(b|k|kib|m|mib)?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString unit = match.captured(2).toLower();
    const qint64 scale = unit.startsWith(u'k') ? 1024 : unit.startsWith(u'm') ? 1024 * 1024 : 1;
    return match.captured(1).toLongLong() * scale;
}

ParsedLine parseScenarioLine(const QString& line)
{
    QString error;
    const auto tokens = tokenize(line, &error);
    if (!tokens)
        return {std::nullopt, error};
    QStringList words = *tokens;
    if (words.isEmpty())
        return {};
    std::optional<milliseconds> at;
    if (words[0].toLower() == u"at") {
        at = words.size() >= 2 ? parseDuration(words[1]) : std::nullopt;
        if (!at)
            return {std::nullopt, QStringLiteral("\"at\" expects a time such as 5s")};
        words = words.mid(2);
        if (words.isEmpty())
            return {std::nullopt, QStringLiteral("no action after the time")};
    }
    const QString name = words.takeFirst().toLower();
    const auto parser = parsers().find(name);
    if (parser == parsers().end())
        return {std::nullopt, QStringLiteral("unknown action \"%1\"").arg(name)};
    Result result = parser->second(words);
    if (const QString* problem = std::get_if<QString>(&result))
        return {std::nullopt, QStringLiteral("%1 %2").arg(name, *problem)};
    return {ScenarioStep{at, std::get<ScenarioAction>(std::move(result))}, {}};
}

Scenario parseScenario(const QString& text)
{
    Scenario scenario;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseScenarioLine(lines[i]);
        if (!parsed.ok())
            scenario.errors.append(QStringLiteral("line %1: %2").arg(i + 1).arg(parsed.error));
        else if (parsed.step)
            scenario.steps.push_back(*parsed.step);
    }
    return scenario;
}

} // namespace modemsim
