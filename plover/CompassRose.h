#pragma once

#include "plover/place/NearbyCells.h"

#include <QGraphicsView>

class QGraphicsEllipseItem;

// The operator's cells around the user's place, north up: each cell a point at its bearing and
// distance from the centre, coloured by its radio (GSM green, UMTS blue, LTE amber, NR violet),
// the serving cell larger and ringed, with rings every 5 km out to the radius. Clicking a point
// tells which cell it is.
class CompassRose : public QGraphicsView
{
    Q_OBJECT
public:
    explicit CompassRose(QWidget* parent = nullptr);

    // Draws `cells`; the serving cell is the one with this LAC and cell ID, when among them.
    void showCells(const QList<place::NearbyCell>& cells, const QString& servingLac,
                   const QString& servingCellId, int radiusKm = place::kRoseRadiusKm);

    // One point per cell shown, in the order of the cells; its tool tip names the cell.
    QList<QGraphicsEllipseItem*> points() const { return points_; }
    const QList<place::NearbyCell>& cells() const { return cells_; }
    // The index of the serving cell among them, none when it is not near.
    std::optional<qsizetype> servingIndex() const { return serving_; }

signals:
    void cellClicked(const place::NearbyCell& cell);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawRings(int radiusKm);

    QList<place::NearbyCell> cells_;
    QList<QGraphicsEllipseItem*> points_;
    std::optional<qsizetype> serving_;
};

// "LTE cell 314, LAC 78: 3.2 km at 247° (WSW), range 1.2 km, 14 samples"
QString cellSummary(const place::NearbyCell& cell);
