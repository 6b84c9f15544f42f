#include "plover/place/Place.h"

#include <QRegularExpression>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>
#include <cmath>

namespace place
{

namespace
{

const QString kLatitudeKey = QStringLiteral("place/latitude");
const QString kLongitudeKey = QStringLiteral("place/longitude");

std::optional<Place> checked(double latitude, double longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::abs(latitude) > 90 ||
        std::abs(longitude) > 180) {
        return std::nullopt;
    }
    return Place{latitude, longitude};
}

// Two decimal numbers with a separator between them, as text: "55.7558, 37.6173".
std::optional<std::pair<double, double>> numberPair(const QString& text, const QString& separator)
{
    static const QString number = QStringLiteral("([+-]?\\d{1,3}(?:\\.\\d+)?)");
    const QRegularExpression pair(QStringLiteral("^\\s*") + number + QStringLiteral("(?:") +
                                  separator + QStringLiteral(")") + number +
                                  QStringLiteral("\\s*$"));
    const auto match = pair.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return std::pair{match.captured(1).toDouble(), match.captured(2).toDouble()};
}

// The locator's settings: ~/.config/plover/plover.conf.
const QString kOrganisation = QStringLiteral("plover");
const QString kApplication = QStringLiteral("plover");

} // namespace

std::optional<Place> readPlace(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (url.isValid() &&
        (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))) {
        // A map address writes the pair the other way round: longitude first.
        const QString ll = QUrlQuery(url).queryItemValue(QStringLiteral("ll"), QUrl::FullyDecoded);
        const auto pair = numberPair(ll, QStringLiteral("\\s*,\\s*"));
        return pair ? checked(pair->second, pair->first) : std::nullopt;
    }
    const auto pair = numberPair(text, QStringLiteral("\\s*[,;]\\s*|\\s+"));
    return pair ? checked(pair->first, pair->second) : std::nullopt;
}

QString placeText(const Place& place)
{
    return QStringLiteral("%1, %2").arg(place.latitude, 0, 'f', 5).arg(place.longitude, 0, 'f', 5);
}

std::optional<Place> rememberedPlace()
{
    const QSettings remembered(kOrganisation, kApplication);
    bool latitudeRead = false;
    bool longitudeRead = false;
    const double latitude = remembered.value(kLatitudeKey).toDouble(&latitudeRead);
    const double longitude = remembered.value(kLongitudeKey).toDouble(&longitudeRead);
    return latitudeRead && longitudeRead ? checked(latitude, longitude) : std::nullopt;
}

void rememberPlace(const std::optional<Place>& place)
{
    QSettings remembered(kOrganisation, kApplication);
    if (place) {
        remembered.setValue(kLatitudeKey, place->latitude);
        remembered.setValue(kLongitudeKey, place->longitude);
    } else {
        remembered.remove(kLatitudeKey);
        remembered.remove(kLongitudeKey);
    }
}

} // namespace place
