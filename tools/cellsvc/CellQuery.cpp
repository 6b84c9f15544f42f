#include "tools/cellsvc/CellQuery.h"

#include <array>

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

struct Field {
    std::string_view name;    // the name on the wire
    std::string_view meaning; // what it carries, for messages
    std::int64_t max;
};

constexpr std::array<Field, 4> kFields{{
    {"cellid", "the cell ID", kMaxCellId},
    {"operatorid", "the network code (MNC)", kMaxMnc},
    {"countrycode", "the country code (MCC)", kMaxMcc},
    {"lac", "the area code (LAC)", kMaxLac},
}};

QueryResult fail(std::string code, std::string message)
{
    return QueryResult{std::nullopt, QueryProblem{std::move(code), std::move(message)}};
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

} // namespace

QueryResult parseCellQuery(std::string_view query)
{
    if (query.size() > kMaxQueryLength) {
        return fail("queryTooLong",
                    "the query is longer than " + std::to_string(kMaxQueryLength) + " bytes");
    }
    std::array<std::optional<std::int64_t>, kFields.size()> values;
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
            while (i < kFields.size() && name != kFields[i].name) {
                ++i;
            }
        } else {
            i = kFields.size(); // a name that does not even decode is none of ours
        }
        if (i == kFields.size()) {
            continue; // not ours: whatever it holds is none of our business
        }
        const Field& known = kFields[i];
        const std::string key(known.name);
        if (values[i]) {
            return fail("repeatedKey", "the key " + key + " appears more than once");
        }
        const std::string_view rawValue =
            equals == std::string_view::npos ? std::string_view{} : field.substr(equals + 1);
        if (!percentDecode(rawValue, value)) {
            return fail("badEncoding",
                        "the value of " + key + " holds a malformed percent-encoding");
        }
        std::int64_t number = 0;
        switch (readDecimal(value, known.max, number)) {
        case NumberStatus::Empty:
            return fail("emptyValue", "the key " + key + " has no value");
        case NumberStatus::NotDecimal:
            return fail("notANumber", "the value of " + key + " (" + std::string(known.meaning) +
                                          ") is not a decimal number");
        case NumberStatus::OutOfRange:
            return fail("outOfRange", "the value of " + key + " (" + std::string(known.meaning) +
                                          ") is larger than " + std::to_string(known.max));
        case NumberStatus::Ok:
            values[i] = number;
            break;
        }
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (!values[i]) {
            return fail("missingKey", "the key " + std::string(kFields[i].name) + " (" +
                                          std::string(kFields[i].meaning) + ") is missing");
        }
    }
    CellKey key;
    key.cellId = *values[0];
    key.mnc = static_cast<int>(*values[1]);
    key.mcc = static_cast<int>(*values[2]);
    key.lac = *values[3];
    return QueryResult{key, {}};
}

} // namespace cellsvc
