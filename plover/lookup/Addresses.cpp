#include "plover/lookup/Addresses.h"

#include <QUrl>
#include <utility>

namespace lookup
{

namespace
{

QString encoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

std::optional<QString> lookupAddress(const QString& serviceBase, const CellFields& fields)
{
    if (fields.mcc.isEmpty() || fields.mnc.isEmpty() || fields.lac.isEmpty() ||
        fields.cellid.isEmpty())
        return std::nullopt;
    // The query starts with an empty field ("?&"), which the service skips.
    return serviceBase + QStringLiteral("/cellid_location/?&cellid=") + encoded(fields.cellid) +
           QStringLiteral("&operatorid=") + encoded(fields.mnc) + QStringLiteral("&countrycode=") +
           encoded(fields.mcc) + QStringLiteral("&lac=") + encoded(fields.lac);
}

QString mapAddress(const QString& mapBase, const QString& firstValue, const QString& secondValue)
{
    const QString position = encoded(secondValue) + QLatin1Char(',') + encoded(firstValue);
    return mapBase + QStringLiteral("/?l=map/&pt=") + position + QStringLiteral("&ll=") + position +
           QStringLiteral("&z=10");
}

BaseAddresses basesInEffect(BaseAddresses configured)
{
    for (auto [base, name] : {std::pair{&configured.service, "PLOVER_SERVICE_BASE"},
                              std::pair{&configured.map, "PLOVER_MAP_BASE"}}) {
        QString given = qEnvironmentVariable(name);
        while (given.endsWith(QLatin1Char('/')))
            given.chop(1);
        if (!given.isEmpty())
            *base = given;
    }
    return configured;
}

bool isWebAddress(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace lookup
