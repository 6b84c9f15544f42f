#include "ini/IniWriter.h"

#include <QString>

QByteArray writeIniDocument(const IniDocument& document)
{
    static const QString lineEnd = QStringLiteral("\r\n");
    QString text;
    for (const IniSection& section : document.Sections) {
        text += u'[' + section.Name + u']' + lineEnd;
        for (const IniEntry& entry : section.Values) {
            text += entry.Name + u'=' + entry.Value + lineEnd;
        }
        text += lineEnd;
    }
    return text.toUtf8();
}
