#pragma once

#include "ini/IniDocument.h"

#include <QByteArray>
#include <QStringList>

// Reads the bytes of an INI file into a document. Never fails: a line that fits no rule is
// skipped. The bytes are UTF-8; a byte order mark at the very start is skipped, and each
// invalid byte sequence reads as U+FFFD. Lines end at CR LF, a lone CR or a lone LF.
// `dropped`, when given, receives the lines of text that fit no rule or stand before the first
// header (blank lines and comments are not counted): what rewriting the file would lose.
IniDocument readIniDocument(const QByteArray& bytes, QStringList* dropped = nullptr);
