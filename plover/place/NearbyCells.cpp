#include "plover/place/NearbyCells.h"

#include "geodesy/Geodesy.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <cmath>

namespace place
{

namespace
{

// A few hundred cells of about 200 bytes: anything far larger is no answer of the service.
constexpr qsizetype kMaxReplyBytes = 256 * 1024;
constexpr qsizetype kMaxCells = 200;

std::optional<NearbyCell> readCell(const QXmlStreamAttributes& a)
{
    bool ok[8] = {};
    NearbyCell cell;
    cell.radio = a.value(QStringLiteral("radio")).toString();
    cell.lac = a.value(QStringLiteral("lac")).toString();
    cell.cellid = a.value(QStringLiteral("cellid")).toString();
    cell.latitude = a.value(QStringLiteral("latitude")).toDouble(&ok[0]);
    cell.longitude = a.value(QStringLiteral("longitude")).toDouble(&ok[1]);
    cell.rangeM = a.value(QStringLiteral("range")).toInt(&ok[2]);
    cell.samples = a.value(QStringLiteral("samples")).toInt(&ok[3]);
    cell.distanceKm = a.value(QStringLiteral("distance_km")).toDouble(&ok[4]);
    cell.bearingDeg = a.value(QStringLiteral("bearing_deg")).toDouble(&ok[5]);
    cell.lac.toULongLong(&ok[6]);
    cell.cellid.toULongLong(&ok[7]);
    for (const bool read : ok) {
        if (!read) {
            return std::nullopt;
        }
    }
    if (std::abs(cell.latitude) > 90 || std::abs(cell.longitude) > 180 || cell.distanceKm < 0 ||
        cell.bearingDeg < 0 || cell.bearingDeg >= 360) {
        return std::nullopt;
    }
    return cell;
}

QString compass(double bearingDeg)
{
    const std::string_view name = geodesy::compassPoint(bearingDeg);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

QString nearbyCellsAddress(const QString& serviceBase, const Place& place, const QString& mcc,
                           const QString& mnc, int radiusKm)
{
    const auto encoded = [](const QString& value) {
        return QString::fromLatin1(QUrl::toPercentEncoding(value));
    };
    // Joined, not filled in with arg(): an encoded "%31" would be taken for a place marker.
    return serviceBase + QStringLiteral("/cells_near/?lat=") +
           QString::number(place.latitude, 'f', 5) + QStringLiteral("&lon=") +
           QString::number(place.longitude, 'f', 5) + QStringLiteral("&countrycode=") +
           encoded(mcc) + QStringLiteral("&operatorid=") + encoded(mnc) +
           QStringLiteral("&radius_km=") + QString::number(radiusKm);
}

std::optional<QList<NearbyCell>> readNearbyCells(const QByteArray& body)
{
    if (body.size() > kMaxReplyBytes) {
        return std::nullopt;
    }
    QXmlStreamReader xml(body);
    QList<NearbyCell> cells;
    bool inCells = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return std::nullopt; // the service declares none; a DTD could define entities
        case QXmlStreamReader::StartElement:
            if (!inCells) {
                if (xml.name() != QLatin1String("cells")) {
                    return std::nullopt;
                }
                inCells = true;
            } else if (xml.name() == QLatin1String("cell") && cells.size() < kMaxCells) {
                if (const auto cell = readCell(xml.attributes())) {
                    cells << *cell;
                }
            }
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !inCells) {
        return std::nullopt;
    }
    return cells;
}

QString wayText(double distanceKm, double bearingDeg, std::optional<int> rangeM)
{
    const auto km = [](double value) {
        return value < 10 ? QString::number(value, 'f', 1) : QString::number(std::lround(value));
    };
    QString text = km(distanceKm) + QStringLiteral(" km");
    if (rangeM && *rangeM > 0) {
        text += QStringLiteral(" ± ") + km(*rangeM / 1000.0) + QStringLiteral(" km");
    }
    const long degrees = std::lround(bearingDeg) % 360;
    return text + QStringLiteral(" at %1° (%2)").arg(degrees).arg(compass(bearingDeg));
}

} // namespace place
