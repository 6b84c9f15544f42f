#include "platform/web/PageText.h"

#include <QStringDecoder>
#include <QTextDocument>
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

} // namespace

QString pageText(const QByteArray& body, const QByteArray& contentType)
{
    const MediaType media = parseContentType(contentType);
    const bool html = isHtml(media, body);
    const QString text = decode(body, media, html);
    if (!html)
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}
