#pragma once

#include "plover/place/Place.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace place
{

// One cell of the service's answer about the cells near a place.
struct NearbyCell {
    QString radio; // as the open cell database names it: GSM, UMTS, LTE, NR, CDMA
    QString lac;
    QString cellid;
    double latitude = 0;
    double longitude = 0;
    int rangeM = 0;
    int samples = 0;
    double distanceKm = 0; // from the place
    double bearingDeg = 0; // from the place, from true north
    bool operator==(const NearbyCell&) const = default;
};

// How far the rose reaches, and the most cells it shows (the nearest, in a dense city).
inline constexpr int kRoseRadiusKm = 15;

// The service request for an operator's cells around a place:
// "<service base>/cells_near/?lat=55.75580&lon=37.61730&countrycode=250&operatorid=1
// &radius_km=15". MCC and MNC are percent-encoded, so they cannot add a query key.
QString nearbyCellsAddress(const QString& serviceBase, const Place& place, const QString& mcc,
                           const QString& mnc, int radiusKm = kRoseRadiusKm);

// The service's answer, nearest first:
//   <cells><cell radio="LTE" lac="78" cellid="314" latitude="55.75580" longitude="37.61730"
//   range="1200" samples="14" distance_km="0.000" bearing_deg="0.0"/>...</cells>
// None when the body is no such answer (an error page, not XML, a DTD, a position out of
// range); a cell without its numbers is left out.
std::optional<QList<NearbyCell>> readNearbyCells(const QByteArray& body);

// "3.2 km at 247° (WSW)", and with the cell's range "3.2 km ± 1.2 km at 247° (WSW)": the way
// from the place to a cell. Below 10 km with one decimal, whole kilometres beyond.
QString wayText(double distanceKm, double bearingDeg, std::optional<int> rangeM = std::nullopt);

} // namespace place
