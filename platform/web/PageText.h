#pragma once

#include <QByteArray>
#include <QString>

// The text a browser shows for a reply body. An HTML page (by its Content-Type, or by its start
// when the header is missing) gives its body's text, without markup, scripts, styles or title,
// in one pass whose time grows with the page's length only (any nesting). Anything else (XML, JSON,
// plain text) is returned as it arrived, decoded by the charset the header names, else by a byte
// order mark, else as UTF-8.
QString pageText(const QByteArray& body, const QByteArray& contentType);
