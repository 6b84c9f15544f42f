#include "plover/CompassRose.h"

#include "kestrel/GenerationColours.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QMouseEvent>
#include <cmath>
#include <numbers>

namespace
{

// Scene units are kilometres: x east, y south (north up on the screen).
QPointF positionOf(const place::NearbyCell& cell)
{
    const double angle = cell.bearingDeg * std::numbers::pi / 180;
    return {cell.distanceKm * std::sin(angle), -cell.distanceKm * std::cos(angle)};
}

at::Generation generationOfRadio(const QString& radio)
{
    if (radio == QLatin1String("GSM")) {
        return at::Generation::G2;
    }
    if (radio == QLatin1String("UMTS") || radio == QLatin1String("CDMA")) {
        return at::Generation::G3;
    }
    if (radio == QLatin1String("LTE")) {
        return at::Generation::G4;
    }
    return radio == QLatin1String("NR") ? at::Generation::G5 : at::Generation::Unknown;
}

} // namespace

QString cellSummary(const place::NearbyCell& cell)
{
    return QStringLiteral("%1 cell %2, LAC %3: %4, %5 samples")
        .arg(cell.radio, cell.cellid, cell.lac,
             place::wayText(cell.distanceKm, cell.bearingDeg, cell.rangeM))
        .arg(cell.samples);
}

CompassRose::CompassRose(QWidget* parent) : QGraphicsView(parent)
{
    setObjectName(QStringLiteral("CompassRose"));
    setScene(new QGraphicsScene(this));
    setRenderHint(QPainter::Antialiasing);
    setBackgroundBrush(Qt::black);
    setMinimumSize(320, 320);
}

void CompassRose::drawRings(int radiusKm)
{
    const QPen ring(QColor(90, 90, 90), 0);
    for (int km = 5; km <= radiusKm; km += 5) {
        scene()->addEllipse(-km, -km, 2 * km, 2 * km, ring);
    }
    scene()->addLine(-radiusKm, 0, radiusKm, 0, ring);
    scene()->addLine(0, -radiusKm, 0, radiusKm, ring);
    const struct {
        const char* name;
        QPointF at;
    } marks[] = {{"N", {0, -1}}, {"E", {1, 0}}, {"S", {0, 1}}, {"W", {-1, 0}}};
    for (const auto& mark : marks) {
        auto* text = scene()->addSimpleText(QString::fromLatin1(mark.name));
        text->setBrush(Qt::white);
        text->setScale(radiusKm / 150.0);
        const QRectF box = text->sceneBoundingRect();
        text->setPos(mark.at * (radiusKm + box.height() * 0.7) - box.center() + text->pos());
    }
    scene()->addEllipse(-0.3, -0.3, 0.6, 0.6, QPen(Qt::white, 0), Qt::white); // the place
}

void CompassRose::showCells(const QList<place::NearbyCell>& cells, const QString& servingLac,
                            const QString& servingCellId, int radiusKm)
{
    scene()->clear();
    points_.clear();
    serving_.reset();
    cells_ = cells;
    drawRings(radiusKm);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const place::NearbyCell& cell = cells[i];
        const bool serving = cell.lac == servingLac && cell.cellid == servingCellId;
        const double size = serving ? 1.0 : 0.45;
        const QColor colour = generationColour(generationOfRadio(cell.radio), Qt::lightGray);
        auto* point = scene()->addEllipse(-size / 2, -size / 2, size, size,
                                          serving ? QPen(Qt::white, 0.2) : QPen(Qt::NoPen), colour);
        point->setPos(positionOf(cell));
        point->setToolTip(cellSummary(cell));
        point->setData(0, i);
        point->setZValue(serving ? 2 : 1);
        points_ << point;
        if (serving) {
            serving_ = i;
        }
    }
    const double margin = radiusKm * 1.15;
    setSceneRect(-margin, -margin, 2 * margin, 2 * margin);
    fitInView(sceneRect(), Qt::KeepAspectRatio);
}

void CompassRose::mousePressEvent(QMouseEvent* event)
{
    for (QGraphicsItem* item : items(event->position().toPoint())) {
        const QVariant index = item->data(0);
        if (index.isValid()) {
            emit cellClicked(cells_.at(index.toInt()));
            return;
        }
    }
    QGraphicsView::mousePressEvent(event);
}

void CompassRose::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    fitInView(sceneRect(), Qt::KeepAspectRatio);
}
