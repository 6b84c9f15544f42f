#include "plover/lookup/CellLookup.h"

#include "platform/message/MessageSink.h"
#include "platform/web/PageLoader.h"
#include "platform/web/UrlOpener.h"
#include "textcuts/TextCuts.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace lookup
{

namespace
{

using textcuts::cut;
using textcuts::position;

const QString QuotationMark = QStringLiteral("\"");

// The reason an error reply gives, such as <error code="notANumber">the value of lac (the area
// code (LAC)) is not a decimal number</error>, on one line and cut to a length a message box
// can show; empty when the page holds no such element (plain text, an HTML error page).
QString serviceReason(const QString& page)
{
    constexpr qsizetype longest = 300;
    QXmlStreamReader xml(page);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"error")
            continue;
        const QString reason =
            xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        return reason.size() <= longest ? reason : reason.left(longest) + u'\u2026';
    }
    return {};
}

// Whether a coordinate is written as a plain decimal number: a sign, then digits with at most
// one dot. No blanks, exponents, "inf" or "nan", which a number parser would let through.
bool isDecimal(QStringView value)
{
    if (value.startsWith(u'-') || value.startsWith(u'+'))
        value = value.mid(1);
    bool digit = false;
    bool dot = false;
    for (const QChar c : value) {
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c == u'.' && !dot)
            dot = true;
        else
            return false;
    }
    return digit;
}

// Why a coordinate the service gave cannot be one, or empty when it can. An empty value passes:
// it opens no map, or leaves that part of the map's position empty, as before. A long value is
// not quoted back, so that a reply of a million blanks makes no message of a million blanks.
QString refusal(const QString& name, const QString& value, int limit)
{
    constexpr qsizetype longest = 32;
    if (value.isEmpty())
        return {};
    if (value.size() > longest)
        return QStringLiteral("the %1 the service gave is %2 characters long, too long for a "
                              "number")
            .arg(name)
            .arg(value.size());
    if (!isDecimal(value))
        return QStringLiteral("the %1 the service gave, \u201c%2\u201d, is not a decimal number")
            .arg(name, value);
    const double number = value.toDouble();
    if (number < -limit || number > limit)
        return QStringLiteral("the %1 the service gave, %2, is not between -%3 and %3")
            .arg(name, value)
            .arg(limit);
    return {};
}

} // namespace

CellLookup::CellLookup(BaseAddresses bases, PageLoader& loader, UrlOpener& opener,
                       MessageSink& messages)
    : bases_(std::move(bases)), loader_(loader), opener_(opener), messages_(messages)
{
    notOpened_ = QObject::connect(
        &opener, &UrlOpener::notOpened,
        [this](const QUrl& map, const QString& reason) { mapNotOpened(map, reason); });
}

CellLookup::~CellLookup()
{
    QObject::disconnect(notOpened_);
}

void CellLookup::click(const CellFields& fields)
{
    // No network code or cell ID is that long, and the request would carry all of it: a field
    // filled from a damaged ID file could make an address of megabytes.
    constexpr qsizetype kLongestField = 32;
    for (const auto& [name, value] : {std::pair{"MCC", &fields.mcc},
                                      {"MNC", &fields.mnc},
                                      {"LAC", &fields.lac},
                                      {"cell ID", &fields.cellid}}) {
        if (value->size() > kLongestField) {
            messages_.showDetailed(AppTitle, IdMissingMessage,
                                   QStringLiteral("the %1 is %2 characters long; none is longer "
                                                  "than %3")
                                       .arg(QLatin1String(name))
                                       .arg(value->size())
                                       .arg(kLongestField));
            return;
        }
    }
    const std::optional<QString> address = lookupAddress(bases_.service, fields);
    if (!address)
        return;
    values_.lookupAddress = *address;
    loader_.Navigate(values_.lookupAddress);
}

void CellLookup::web1()
{
    values_.pageText = loader_.bodyText();
    // Each reply brings its own position or none: a value left from an earlier reply would put
    // this cell at another's place.
    values_.firstValue.clear();
    values_.secondValue.clear();
    // A reply that reports an error, or that holds no position at all, names no place to open.
    if (values_.pageText.contains(QStringLiteral("error"), Qt::CaseSensitive) ||
        !values_.pageText.contains(QStringLiteral("coordinates"), Qt::CaseSensitive)) {
        messages_.showDetailed(AppTitle, IdMissingMessage, serviceReason(values_.pageText));
        return;
    }
    takeCoordinates();
    // Only numbers that can be a position go into the map's address; anything else the service
    // calls coordinates is no place at all.
    QStringList refusals;
    for (const QString& why : {refusal(QStringLiteral("latitude"), values_.firstValue, 90),
                               refusal(QStringLiteral("longitude"), values_.secondValue, 180)})
        if (!why.isEmpty())
            refusals << why;
    if (!refusals.isEmpty()) {
        values_.firstValue.clear();
        values_.secondValue.clear();
        messages_.showDetailed(AppTitle, IdMissingMessage, refusals.join(u'\n'));
        return;
    }
    values_.mapAddress = mapAddress(bases_.map, values_.firstValue, values_.secondValue);
    if (placed && !values_.firstValue.isEmpty() && !values_.secondValue.isEmpty())
        placed(values_.firstValue.toDouble(), values_.secondValue.toDouble());
    if (!values_.secondValue.isEmpty())
        web2();
}

// Cuts the first two quoted strings after "coordinates" out of the page text. A search that
// finds nothing yields 0, so the next search starts again at the top of the page (which can
// happen only after the keyword, as web1 sees it first); a closing
// mark that is missing makes the count negative and leaves that value empty. Pages such as
// <coordinates latitude="55.75580" longitude="37.61730"/> give latitude, then longitude.
void CellLookup::takeCoordinates()
{
    const QString& page = values_.pageText;
    const int k = position(page, QStringLiteral("coordinates"));
    const int q1 = position(page, QuotationMark, k + 1);
    const int q2 = position(page, QuotationMark, q1 + 1);
    values_.firstValue = cut(page, q1 + 1, q2 - q1 - 1).value_or(QString());
    const int q3 = position(page, QuotationMark, q2 + 1);
    const int q4 = position(page, QuotationMark, q3 + 1);
    values_.secondValue = cut(page, q3 + 1, q4 - q3 - 1).value_or(QString());
}

void CellLookup::web2()
{
    const QString& address = values_.mapAddress;
    // Only a well-formed web address goes to the desktop; the reply cannot smuggle in anything
    // else.
    if (!isWebAddress(address))
        messages_.show(AppTitle,
                       QStringLiteral("The map address is not a web address:\n\n") + address, true);
    else
        opener_.open(QUrl(address, QUrl::StrictMode));
    values_.secondValue.clear();
    values_.firstValue.clear();
    values_.mapAddress.clear();
    values_.lookupAddress.clear();
}

// The map's address may be needed after web2 has cleared it, so it comes with the failure.
void CellLookup::mapNotOpened(const QUrl& map, const QString& reason)
{
    messages_.show(AppTitle,
                   QStringLiteral("No web browser opened the map (%1). Open it by hand:\n\n%2")
                       .arg(reason, map.toString(QUrl::FullyEncoded)),
                   true);
}

void CellLookup::serviceUnreachable(const QString& reason)
{
    messages_.show(
        AppTitle,
        QStringLiteral("No complete answer came from the cell location service at %1:\n\n%2"
                       "\n\nWhen it runs on this computer, start it with\n\n"
                       "    systemctl --user start cellsvc.socket")
            .arg(bases_.service, reason),
        true);
}

void CellLookup::replyTooLarge()
{
    messages_.show(AppTitle, TooLargeMessage);
}

} // namespace lookup
