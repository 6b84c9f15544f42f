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
