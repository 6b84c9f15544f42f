#pragma once

#include <QByteArray>
#include <QString>

// The text a browser shows for a reply body. An HTML page (by its Content-Type, or by its start
// when the header is missing) is parsed with Qt's rich-text importer and its body's text is
// returned, without markup, scripts, styles or title. Anything else (XML, JSON, plain text) is
// returned as it arrived, decoded by the charset the header names, else by a byte order mark,
// else as UTF-8.
QString pageText(const QByteArray& body, const QByteArray& contentType);
