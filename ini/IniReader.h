#pragma once

#include "ini/IniDocument.h"

#include <QByteArray>

// Reads the bytes of an INI file into a document. Never fails: a line that fits no rule is
// skipped. The bytes are UTF-8; a byte order mark at the very start is skipped, and each
// invalid byte sequence reads as U+FFFD. Lines end at CR LF, a lone CR or a lone LF.
IniDocument readIniDocument(const QByteArray& bytes);
