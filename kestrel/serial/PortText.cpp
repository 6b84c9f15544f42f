#include "kestrel/serial/PortText.h"

#include <QRegularExpression>
#include <QUrl>
#include <limits>

std::optional<QString> cutPortText(const QString& caption)
{
    // 1-based positions; indexOf's -1 for "absent" becomes 0.
    const qsizetype open = caption.indexOf(QLatin1Char('(')) + 1;
    const qsizetype close = caption.indexOf(QLatin1Char(')')) + 1;
    const qsizetype length = close - open - 4;
    if (length < 0) {
        return std::nullopt;
    }
    const qsizetype start = open + 4;
    if (start > caption.size()) {
        return QString(QLatin1String(""));
    }
    return caption.mid(start - 1, length);
}

std::optional<QString> hilinkAddressFromBoxText(const QString& boxText)
{
    static const QRegularExpression form(QStringLiteral("^HiLink\\s+(\\S+)$"));
    const auto match = form.match(boxText.trimmed());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QString address = match.captured(1);
    // Only a host and a port: a path, a user or a query would send the stick's session
    // elsewhere than the stick.
    const QUrl url(QStringLiteral("http://") + address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.path().isEmpty() ||
        !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment() ||
        url.authority() != address) {
        return std::nullopt;
    }
    return address;
}

std::optional<QString> hilinkAddressFromUrl(const QString& url)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (parsed.scheme() != QLatin1String("http") ||
        (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/"))) {
        return std::nullopt;
    }
    return hilinkAddressFromBoxText(hilinkBoxText(parsed.authority()));
}

std::optional<QString> portTextFromBoxText(const QString& boxText)
{
    if (isDevicePath(boxText.trimmed())) {
        return boxText.trimmed();
    }
    if (boxText.contains(QLatin1String("HU"))) {
        return cutPortText(boxText);
    }
    return boxText;
}

std::optional<qint16> portNumberFromText(const QString& portText)
{
    const QString trimmed = portText.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const bool sign =
            i == 0 && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'));
        if (!sign && !(trimmed[i] >= QLatin1Char('0') && trimmed[i] <= QLatin1Char('9'))) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    if (!ok || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return static_cast<qint16>(value);
}
