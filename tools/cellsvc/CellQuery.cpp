#include "tools/cellsvc/CellQuery.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace cellsvc
{
namespace
{

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Undoes percent-encoding ("%33" is "3") and form encoding ("+" is a space). False when a "%"
// is not followed by two hex digits.
bool percentDecode(std::string_view in, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '+') {
            out += ' ';
        } else if (in[i] != '%') {
            out += in[i];
        } else {
            if (i + 2 >= in.size()) {
                return false;
            }
            const int high = hexDigit(in[i + 1]);
            const int low = hexDigit(in[i + 2]);
            if (high < 0 || low < 0) {
                return false;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return true;
}

enum class Kind { Integer, Decimal };

struct Field {
    std::string_view name;    // the name on the wire
    std::string_view meaning; // what it carries, for messages
    Kind kind;
    double min;
    double max;
};

// Integers up to 2^36 - 1 and the decimals of the search are exact enough in a double.
struct Value {
    std::int64_t integer = 0;
    double decimal = 0;
};

QueryProblem problem(std::string code, std::string message)
{
    return QueryProblem{std::move(code), std::move(message)};
}

// Reads a plain decimal number no larger than max. Leading zeros are allowed ("01" is 1).
enum class NumberStatus { Ok, Empty, NotDecimal, OutOfRange };

NumberStatus readDecimal(std::string_view text, std::int64_t max, std::int64_t& value)
{
    if (text.empty()) {
        return NumberStatus::Empty;
    }
    value = 0;
    bool tooBig = false;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return NumberStatus::NotDecimal;
        }
        if (!tooBig) {
            value = value * 10 + (c - '0');
            tooBig = value > max; // stops before the int64 could overflow: max < 2^40
        }
    }
    return tooBig ? NumberStatus::OutOfRange : NumberStatus::Ok;
}

bool allDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "-12.5", "7", "0.000001": the forms a person or a map writes. from_chars would also take
// "inf", "nan" and exponents, which no coordinate needs.
NumberStatus readCoordinate(std::string_view text, double min, double max, double& value)
{
    if (text.empty()) {
        return NumberStatus::Empty;
    }
    const std::string_view unsigned_ = text.starts_with('-') ? text.substr(1) : text;
    const std::size_t dot = unsigned_.find('.');
    if (!allDigits(unsigned_.substr(0, dot)) ||
        (dot != std::string_view::npos && !allDigits(unsigned_.substr(dot + 1)))) {
        return NumberStatus::NotDecimal;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !(value >= min && value <= max)) {
        return NumberStatus::OutOfRange;
    }
    return NumberStatus::Ok;
}

std::string limitText(double limit)
{
    return std::to_string(static_cast<std::int64_t>(limit));
}

// Checks one value of a field; nothing when it is good.
std::optional<QueryProblem> readValue(const Field& field, std::string_view text, Value& value)
{
    const std::string key(field.name);
    const std::string described = key + " (" + std::string(field.meaning) + ")";
    const NumberStatus status =
        field.kind == Kind::Integer
            ? readDecimal(text, static_cast<std::int64_t>(field.max), value.integer)
            : readCoordinate(text, field.min, field.max, value.decimal);
    switch (status) {
    case NumberStatus::Empty:
        return problem("emptyValue", "the key " + key + " has no value");
    case NumberStatus::NotDecimal:
        return problem("notANumber", "the value of " + described + " is not a decimal number");
    case NumberStatus::OutOfRange:
        if (field.kind == Kind::Integer) {
            return problem("outOfRange",
                           "the value of " + described + " is larger than " + limitText(field.max));
        }
        return problem("outOfRange", "the value of " + described + " is not between " +
                                         limitText(field.min) + " and " + limitText(field.max));
    case NumberStatus::Ok:
        break;
    }
    return std::nullopt;
}

// Fields are separated by "&"; empty ones are skipped, and so are those whose name is none of
// `fields`, whatever they hold. Each of `fields` must appear exactly once with a good value;
// the first fault met, in the order of the query, is the one told.
template <std::size_t N>
std::optional<QueryProblem> readFields(std::string_view query, const std::array<Field, N>& fields,
                                       std::array<Value, N>& values)
{
    if (query.size() > kMaxQueryLength) {
        return problem("queryTooLong",
                       "the query is longer than " + std::to_string(kMaxQueryLength) + " bytes");
    }
    std::array<bool, N> seen{};
    std::string name;
    std::string value;
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view field = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view{} : query.substr(end + 1);
        if (field.empty()) {
            continue;
        }
        const std::size_t equals = field.find('=');
        std::size_t i = 0;
        if (percentDecode(field.substr(0, equals), name)) {
            while (i < N && name != fields[i].name) {
                ++i;
            }
        } else {
            i = N; // a name that does not even decode is none of ours
        }
        if (i == N) {
            continue; // not ours: whatever it holds is none of our business
        }
        const std::string key(fields[i].name);
        if (seen[i]) {
            return problem("repeatedKey", "the key " + key + " appears more than once");
        }
        seen[i] = true;
        const std::string_view rawValue =
            equals == std::string_view::npos ? std::string_view{} : field.substr(equals + 1);
        if (!percentDecode(rawValue, value)) {
            return problem("badEncoding",
                           "the value of " + key + " holds a malformed percent-encoding");
        }
        if (auto fault = readValue(fields[i], value, values[i])) {
            return fault;
        }
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (!seen[i]) {
            return problem("missingKey", "the key " + std::string(fields[i].name) + " (" +
                                             std::string(fields[i].meaning) + ") is missing");
        }
    }
    return std::nullopt;
}

constexpr Field kMccField{"countrycode", "the country code (MCC)", Kind::Integer, 0, kMaxMcc};
constexpr Field kMncField{"operatorid", "the network code (MNC)", Kind::Integer, 0, kMaxMnc};

constexpr std::array<Field, 4> kCellFields{{
    {"cellid", "the cell ID", Kind::Integer, 0, static_cast<double>(kMaxCellId)},
    kMncField,
    kMccField,
    {"lac", "the area code (LAC)", Kind::Integer, 0, static_cast<double>(kMaxLac)},
}};

constexpr std::array<Field, 5> kNearFields{{
    {"lat", "the latitude in degrees", Kind::Decimal, -90, 90},
    {"lon", "the longitude in degrees", Kind::Decimal, -180, 180},
    kMccField,
    kMncField,
    {"radius_km", "the radius in kilometres", Kind::Decimal, kMinNearRadiusKm, kMaxNearRadiusKm},
}};

} // namespace

QueryResult parseCellQuery(std::string_view query)
{
    std::array<Value, kCellFields.size()> values;
    if (auto fault = readFields(query, kCellFields, values)) {
        return QueryResult{std::nullopt, std::move(*fault)};
    }
    CellKey key;
    key.cellId = values[0].integer;
    key.mnc = static_cast<int>(values[1].integer);
    key.mcc = static_cast<int>(values[2].integer);
    key.lac = values[3].integer;
    return QueryResult{key, {}};
}

NearQueryResult parseNearQuery(std::string_view query)
{
    std::array<Value, kNearFields.size()> values;
    if (auto fault = readFields(query, kNearFields, values)) {
        return NearQueryResult{std::nullopt, std::move(*fault)};
    }
    NearQuery near;
    near.latitude = values[0].decimal;
    near.longitude = values[1].decimal;
    near.mcc = static_cast<int>(values[2].integer);
    near.mnc = static_cast<int>(values[3].integer);
    near.radiusKm = values[4].decimal;
    return NearQueryResult{near, {}};
}

} // namespace cellsvc
