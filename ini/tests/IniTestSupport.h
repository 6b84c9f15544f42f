#pragma once

#include "ini/IniDocument.h"

#include <QString>
#include <ostream>

// A document in one line, "[section]{name|value}...", so that a table row can say what it
// expects and a failure shows what was read.
inline QString render(const IniDocument& document)
{
    QString text;
    for (const IniSection& section : document.Sections) {
        text += u'[' + section.Name + u']';
        for (const IniEntry& entry : section.Values) {
            text += u'{' + entry.Name + u'|' + entry.Value + u'}';
        }
    }
    return text;
}

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
