#include "platform/web/PageText.h"

#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <optional>

namespace
{

struct MediaType {
    QByteArray type;    // lower case, such as "text/html"; empty when the header is missing
    QByteArray charset; // as the header names it; empty when it names none
};

// "text/html; charset=windows-1251" -> {"text/html", "windows-1251"}
MediaType parseContentType(const QByteArray& header)
{
    const QList<QByteArray> parts = header.split(';');
    MediaType media{parts.value(0).trimmed().toLower(), {}};
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray parameter = parts[i].trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals > 0 && parameter.left(equals).trimmed().toLower() == "charset") {
            QByteArray value = parameter.mid(equals + 1).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            media.charset = value;
        }
    }
    return media;
}

bool looksLikeHtml(const QByteArray& body)
{
    const QByteArray start = body.left(512).trimmed().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html");
}

bool isHtml(const MediaType& media, const QByteArray& body)
{
    if (media.type.isEmpty())
        return looksLikeHtml(body);
    return media.type == "text/html" || media.type == "application/xhtml+xml";
}

QString decode(const QByteArray& body, const MediaType& media, bool html)
{
    if (!media.charset.isEmpty()) {
        QStringDecoder named(media.charset.constData());
        if (named.isValid())
            return named.decode(body);
    }
    std::optional<QStringConverter::Encoding> found =
        html ? QStringConverter::encodingForHtml(body) : QStringConverter::encodingForData(body);
    QStringDecoder decoder(found.value_or(QStringConverter::Utf8));
    return decoder.decode(body);
}

// Elements whose content a browser does not show as the page's text.
bool isHiddenElement(const QString& name)
{
    static const QSet<QString> hidden{"script", "style", "title", "template"};
    return hidden.contains(name);
}

// Elements that start a new line of text: blocks, table rows and cells, line breaks.
bool breaksLine(const QString& name)
{
    static const QSet<QString> blocks{
        "br",         "p",       "div",     "tr",     "td",     "th",      "li",   "ul",
        "ol",         "dl",      "dt",      "dd",     "table",  "h1",      "h2",   "h3",
        "h4",         "h5",      "h6",      "pre",    "hr",     "address", "body", "html",
        "blockquote", "section", "article", "header", "footer", "nav",     "form", "caption"};
    return blocks.contains(name);
}

// The character an entity such as "amp" or "#x41" stands for; none for an unknown name.
std::optional<char32_t> entity(QStringView name)
{
    if (name.startsWith(u'#')) {
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        bool ok = false;
        const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return U'\uFFFD';
        return char32_t(code);
    }
    static const struct {
        const char* name;
        char32_t character;
    } named[] = {{"amp", U'&'},        {"lt", U'<'},         {"gt", U'>'},
                 {"quot", U'"'},       {"apos", U'\''},      {"nbsp", U' '},
                 {"laquo", U'\u00AB'}, {"raquo", U'\u00BB'}, {"deg", U'\u00B0'},
                 {"copy", U'\u00A9'},  {"mdash", U'\u2014'}, {"ndash", U'\u2013'}};
    for (const auto& known : named)
        if (name == QLatin1String(known.name))
            return known.character;
    return std::nullopt;
}

// The text of an HTML page as a browser shows it, in one pass: tags, comments and the content
// of script, style and title are dropped, entities decoded, runs of white space shown as
// one space, and each block, table row and cell starts a line. Time and memory grow with the
// page's length alone, whatever its nesting.
class HtmlText
{
public:
    explicit HtmlText(QStringView html) : html_(html) { text_.reserve(html.size() / 2); }

    QString take()
    {
        while (at_ < html_.size()) {
            const QChar c = html_[at_];
            if (c == u'<')
                markup();
            else if (c == u'&')
                characterReference();
            else {
                if (c.isSpace())
                    space_ = true;
                else
                    put(c);
                ++at_;
            }
        }
        while (text_.endsWith(u'\n'))
            text_.chop(1);
        return std::move(text_);
    }

private:
    void put(QChar c)
    {
        if (space_ && !text_.isEmpty() && !text_.endsWith(u'\n'))
            text_ += u' ';
        space_ = false;
        text_ += c;
    }

    void newLine()
    {
        space_ = false;
        if (!text_.isEmpty() && !text_.endsWith(u'\n'))
            text_ += u'\n';
    }

    // The position just past the ">" that ends the tag starting at `from`, quotes respected;
    // the end of the page when there is none.
    qsizetype tagEnd(qsizetype from) const
    {
        QChar quote;
        for (qsizetype i = from; i < html_.size(); ++i) {
            const QChar c = html_[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'>') {
                return i + 1;
            }
        }
        return html_.size();
    }

    void markup()
    {
        if (html_.mid(at_).startsWith(u"<!--")) {
            const qsizetype close = html_.indexOf(u"-->", at_ + 4);
            at_ = close < 0 ? html_.size() : close + 3;
            return;
        }
        qsizetype nameStart = at_ + 1;
        const bool closing = nameStart < html_.size() && html_[nameStart] == u'/';
        if (closing)
            ++nameStart;
        qsizetype nameEnd = nameStart;
        while (nameEnd < html_.size() && (html_[nameEnd].isLetterOrNumber()))
            ++nameEnd;
        if (nameEnd == nameStart && !closing && nameStart < html_.size() &&
            html_[nameStart] != u'!' && html_[nameStart] != u'?') {
            put(u'<'); // a lone "<" is text
            ++at_;
            return;
        }
        const QString name = html_.mid(nameStart, nameEnd - nameStart).toString().toLower();
        at_ = tagEnd(nameEnd);
        if (breaksLine(name))
            newLine();
        if (!closing && isHiddenElement(name)) {
            const QString end = QStringLiteral("</") + name;
            const qsizetype close = html_.indexOf(end, at_, Qt::CaseInsensitive);
            at_ = close < 0 ? html_.size() : tagEnd(close + end.size());
        }
    }

    void characterReference()
    {
        constexpr qsizetype longest = 10;
        const qsizetype semicolon = html_.mid(at_ + 1, longest + 1).indexOf(u';');
        if (semicolon > 0) {
            if (const std::optional<char32_t> c = entity(html_.mid(at_ + 1, semicolon))) {
                const char32_t code = *c;
                const QString decoded = QString::fromUcs4(&code, 1);
                for (const QChar part : decoded)
                    part == u' ' ? void(space_ = true) : put(part);
                at_ += semicolon + 2;
                return;
            }
        }
        put(u'&');
        ++at_;
    }

    QStringView html_;
    qsizetype at_ = 0;
    bool space_ = false;
    QString text_;
};

} // namespace

QString pageText(const QByteArray& body, const QByteArray& contentType)
{
    const MediaType media = parseContentType(contentType);
    const bool html = isHtml(media, body);
    const QString text = decode(body, media, html);
    if (!html)
        return text;
    return HtmlText(text).take();
}
