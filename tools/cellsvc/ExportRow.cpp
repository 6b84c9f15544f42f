#include "tools/cellsvc/ExportRow.h"

#include "tools/cellsvc/CellQuery.h"

#include <array>
#include <charconv>

namespace cellsvc
{
namespace
{

constexpr std::size_t kFieldCount = 14;
constexpr std::array<std::string_view, kFieldCount> kNames{
    "radio", "mcc",   "net",     "area",       "cell",    "unit",    "lon",
    "lat",   "range", "samples", "changeable", "created", "updated", "averageSignal"};

// Splits on commas into exactly kFieldCount fields; false for any other count.
bool splitFields(std::string_view line, std::array<std::string_view, kFieldCount>& fields,
                 std::size_t& count)
{
    count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        if (count == kFieldCount) {
            ++count; // one more field than allowed
            return false;
        }
        fields[count++] = line.substr(start, comma - start);
        if (comma == std::string_view::npos) {
            return count == kFieldCount;
        }
        start = comma + 1;
    }
}

bool readInteger(std::string_view text, std::int64_t& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && stop == end && !text.empty();
}

bool readDouble(std::string_view text, double& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    return ec == std::errc{} && stop == end && !text.empty();
}

bool validRadio(std::string_view radio)
{
    if (radio.empty() || radio.size() > 8) {
        return false;
    }
    for (const char c : radio) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-')) {
            return false;
        }
    }
    return true;
}

struct RequiredInteger {
    std::size_t index;
    std::int64_t min;
    std::int64_t max;
};

// Required key fields and their ranges; the server refuses to look up anything outside them.
constexpr std::array<RequiredInteger, 4> kKeyFields{{
    {1, 0, kMaxMcc},
    {2, 0, 65535}, // CDMA system IDs go up to 32767
    {3, 0, kMaxLac},
    {4, 0, kMaxCellId},
}};

bool fail(std::string& problem, std::string text)
{
    problem = std::move(text);
    return false;
}

// The field as it stood, cut short and with control bytes masked, for a report line.
std::string shown(std::string_view field)
{
    constexpr std::size_t kMaxShown = 24;
    std::string text = "\"";
    for (const char c : field.substr(0, kMaxShown)) {
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    text += field.size() > kMaxShown ? "...\"" : "\"";
    return text;
}

} // namespace

bool looksLikeHeader(std::string_view line)
{
    return line.starts_with("radio,");
}

bool parseExportRow(std::string_view line, CellRecord& record, std::string& problem)
{
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    std::array<std::string_view, kFieldCount> fields;
    std::size_t count = 0;
    if (!splitFields(line, fields, count)) {
        return fail(problem, count > kFieldCount
                                 ? "more than " + std::to_string(kFieldCount) + " fields"
                                 : std::to_string(count) + " fields instead of " +
                                       std::to_string(kFieldCount));
    }
    if (!validRadio(fields[0])) {
        return fail(problem, "radio " + shown(fields[0]) + " is not a word in capitals");
    }
    record.radio = fields[0];

    std::array<std::int64_t, 4> key{};
    for (std::size_t i = 0; i < kKeyFields.size(); ++i) {
        const RequiredInteger& field = kKeyFields[i];
        const std::string_view name = kNames[field.index];
        if (!readInteger(fields[field.index], key[i])) {
            return fail(problem, std::string(name) + " " + shown(fields[field.index]) +
                                     " is not an integer");
        }
        if (key[i] < field.min || key[i] > field.max) {
            return fail(problem,
                        std::string(name) + " " + shown(fields[field.index]) + " is out of range");
        }
    }
    record.mcc = static_cast<int>(key[0]);
    record.net = static_cast<int>(key[1]);
    record.area = key[2];
    record.cell = key[3];

    if (!readDouble(fields[6], record.lon) || !(record.lon >= -180 && record.lon <= 180)) {
        return fail(problem, "lon " + shown(fields[6]) + " is not a longitude");
    }
    if (!readDouble(fields[7], record.lat) || !(record.lat >= -90 && record.lat <= 90)) {
        return fail(problem, "lat " + shown(fields[7]) + " is not a latitude");
    }

    const std::array<std::pair<std::size_t, std::int64_t*>, 7> optional{{
        {5, &record.unit},
        {8, &record.range},
        {9, &record.samples},
        {10, &record.changeable},
        {11, &record.created},
        {12, &record.updated},
        {13, &record.averageSignal},
    }};
    for (const auto& [index, target] : optional) {
        *target = 0;
        if (!fields[index].empty() && !readInteger(fields[index], *target)) {
            return fail(problem, std::string(kNames[index]) + " " + shown(fields[index]) +
                                     " is not an integer");
        }
    }
    if (record.range < 0 || record.samples < 0) {
        return fail(problem, record.range < 0 ? "range is negative" : "samples is negative");
    }
    return true;
}

} // namespace cellsvc
