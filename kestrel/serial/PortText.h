#pragma once

#include <QString>
#include <optional>

// The port cut rule: a caption such as "HUAWEI Mobile Connect - 3G PC UI Interface (USB12)" holds
// its port number after "(" and a three-letter port name, up to the first ")". With a the
// position of the first "(" and b that of the first ")" (1-based, 0 when absent), the port text
// is the b - a - 4 characters from position a + 4: fewer when the text ends first, empty when
// that start lies past the end. nullopt when b - a - 4 is negative: no port text can be cut.
std::optional<QString> cutPortText(const QString& caption);

// The address of the HiLink stick the port box's text names: "HiLink 192.168.8.1", or with a
// port "HiLink 127.0.0.1:8080" (the word as written, one or more blanks, then a host and an
// optional port, blanks around it aside). Read before the caption rule. nullopt for any other
// text, and for an address with anything beyond host and port.
std::optional<QString> hilinkAddressFromBoxText(const QString& boxText);

// The address of a HiLink stick given as a web address, "http://192.168.8.1" or
// "http://127.0.0.1:8080/": host and port of an http address without user, path (but "/"),
// query or fragment; nullopt for anything else.
std::optional<QString> hilinkAddressFromUrl(const QString& url);

// The port box's text for a HiLink stick at `address`.
inline QString hilinkBoxText(const QString& address)
{
    return QStringLiteral("HiLink ") + address;
}

// The port text that the port box's text stands for: a device path (a text that starts with
// "/", blanks around it aside) is taken as it is, even when it holds "HU" as a by-id name
// does; else a text with "HU" in it (case counts) is a device caption and gets cut; anything
// else is taken whole, as the user typed it.
std::optional<QString> portTextFromBoxText(const QString& boxText);

// A port text that names a device by its path rather than by a number.
inline bool isDevicePath(const QString& portText)
{
    return portText.startsWith(QLatin1Char('/'));
}

// The port text as a 16-bit port number: a whole decimal number, blanks around it allowed;
// nullopt for anything else (empty text, letters, fractions, numbers beyond 16 bits).
std::optional<qint16> portNumberFromText(const QString& portText);
