#include "plover/RoseWindow.h"

#include "plover/CompassRose.h"

#include <QLabel>
#include <QVBoxLayout>

RoseWindow::RoseWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("RoseWindow"));
    setWindowTitle(QStringLiteral("plover — cells around you"));
    auto* layout = new QVBoxLayout(this);
    LblCaption = new QLabel(this);
    LblCaption->setObjectName(QStringLiteral("LblCaption"));
    Rose = new CompassRose(this);
    LblPicked =
        new QLabel(QStringLiteral("Click a cell to see which it is and open its map."), this);
    LblPicked->setObjectName(QStringLiteral("LblPicked"));
    LblPicked->setWordWrap(true);
    layout->addWidget(LblCaption);
    layout->addWidget(Rose, 1);
    layout->addWidget(LblPicked);
    resize(420, 500);
    connect(Rose, &CompassRose::cellClicked, this, [this](const place::NearbyCell& cell) {
        LblPicked->setText(cellSummary(cell));
        emit mapWanted(cell);
    });
}

void RoseWindow::showCells(const QList<place::NearbyCell>& cells, const QString& operatorText,
                           const QString& servingLac, const QString& servingCellId)
{
    Rose->showCells(cells, servingLac, servingCellId);
    const QString serving = Rose->servingIndex()
                                ? QStringLiteral("the serving cell ringed")
                                : QStringLiteral("the serving cell is not among them");
    LblCaption->setText(QStringLiteral("%1 cells of %2 within %3 km, north up; %4")
                            .arg(cells.size())
                            .arg(operatorText)
                            .arg(place::kRoseRadiusKm)
                            .arg(serving));
}
