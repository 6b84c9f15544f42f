#pragma once

#include "ini/IniDocument.h"

#include <QByteArray>

// The exact bytes of a document on disk, UTF-8 without a byte order mark: per section its
// header "[Name]", one "Name=Value" line per entry (no spaces added) and one empty line;
// every line ends with CR LF so that older Windows readers split it too. An empty document
// gives zero bytes.
QByteArray writeIniDocument(const IniDocument& document);
