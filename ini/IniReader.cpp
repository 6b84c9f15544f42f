#include "ini/IniReader.h"

#include <QStringDecoder>
#include <QStringList>
#include <utility>

namespace
{

QString decodeUtf8(QByteArray bytes)
{
    static const QByteArray byteOrderMark("\xEF\xBB\xBF");
    if (bytes.startsWith(byteOrderMark)) {
        bytes.remove(0, byteOrderMark.size());
    }
    // The mark is removed above; the decoder must not drop a second one silently.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.append(text.mid(start));
    }
    return lines;
}

// Only U+0020 is trimmed: a tab at the start keeps "\t[x]" from being a header.
QString trimSpaces(const QString& line)
{
    qsizetype first = 0;
    qsizetype end = line.size();
    while (first < end && line.at(first) == u' ') {
        ++first;
    }
    while (end > first && line.at(end - 1) == u' ') {
        --end;
    }
    return line.mid(first, end - first);
}

struct IniLine {
    enum class Kind { Blank, Skipped, Header, Entry };
    Kind kind = Kind::Blank;
    QString name;
    QString value;
};

IniLine classifyLine(const QString& rawLine)
{
    QString line = trimSpaces(rawLine);
    const qsizetype semicolon = line.indexOf(u';');
    if (line.isEmpty() || semicolon == 0) {
        return {}; // blank line or comment
    }
    const IniLine skipped{IniLine::Kind::Skipped, {}, {}};
    if (semicolon > 0) {
        line.truncate(semicolon); // not trimmed again: spaces before the ";" stay
    }
    if (line.startsWith(u'[')) {
        const qsizetype close = line.indexOf(u']');
        if (close < 2) {
            return skipped; // no "]", or "[]"
        }
        return {IniLine::Kind::Header, line.mid(1, close - 1), {}};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 1) {
        return skipped;
    }
    return {IniLine::Kind::Entry, line.left(equals), line.mid(equals + 1)};
}

} // namespace

IniDocument readIniDocument(const QByteArray& bytes, QStringList* dropped)
{
    IniDocument document;
    // An index, not a pointer: appending sections may move them.
    qsizetype current = -1;
    for (const QString& text : splitLines(decodeUtf8(bytes))) {
        IniLine line = classifyLine(text);
        if (line.kind == IniLine::Kind::Header) {
            document.Sections.append(IniSection{std::move(line.name), {}});
            current = document.Sections.size() - 1;
        } else if (line.kind == IniLine::Kind::Entry && current >= 0) {
            document.Sections[current].Values.append(
                IniEntry{std::move(line.name), std::move(line.value)});
        } else if (line.kind != IniLine::Kind::Blank && dropped != nullptr) {
            dropped->append(text);
        }
    }
    return document;
}
