#include "tools/cellsvc/LocationReply.h"

#include <charconv>

namespace cellsvc
{
namespace
{

constexpr std::string_view kXmlDeclaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";

void appendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
}

std::string fixed(double value, int decimals)
{
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return ec == std::errc{} ? std::string(buffer, end) : std::string("0");
}

} // namespace

std::string formatDegrees(double degrees)
{
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 5);
    std::string text = ec == std::errc{} ? std::string(buffer, end) : std::string("0.00000");
    if (text == "-0.00000") {
        text.erase(0, 1);
    }
    return text;
}

std::string locationXml(const CellLocation& location)
{
    std::string xml(kXmlDeclaration);
    xml += R"(<location source="cell"><coordinates latitude=")";
    xml += formatDegrees(location.latitude);
    xml += R"(" longitude=")";
    xml += formatDegrees(location.longitude);
    xml += R"(" range=")";
    xml += std::to_string(location.range);
    xml += R"(" samples=")";
    xml += std::to_string(location.samples);
    xml += R"("/></location>)";
    return xml;
}

std::string cellsXml(const std::vector<NearCell>& cells)
{
    std::string xml(kXmlDeclaration);
    xml += "<cells>";
    for (const NearCell& cell : cells) {
        xml += R"(<cell radio=")";
        appendEscaped(xml, cell.radio);
        xml += R"(" lac=")" + std::to_string(cell.lac);
        xml += R"(" cellid=")" + std::to_string(cell.cellId);
        xml += R"(" latitude=")" + formatDegrees(cell.location.latitude);
        xml += R"(" longitude=")" + formatDegrees(cell.location.longitude);
        xml += R"(" range=")" + std::to_string(cell.location.range);
        xml += R"(" samples=")" + std::to_string(cell.location.samples);
        xml += R"(" distance_km=")" + fixed(cell.distanceKm, 3);
        // 359.96 would round to "360.0"; on a compass that is north.
        const std::string bearing = fixed(cell.bearingDeg, 1);
        xml += R"(" bearing_deg=")" + (bearing == "360.0" ? std::string("0.0") : bearing);
        xml += R"("/>)";
    }
    xml += "</cells>";
    return xml;
}

std::string errorXml(std::string_view code, std::string_view message)
{
    std::string xml(kXmlDeclaration);
    xml += R"(<error code=")";
    appendEscaped(xml, code);
    xml += R"(">)";
    appendEscaped(xml, message);
    xml += "</error>";
    return xml;
}

} // namespace cellsvc
