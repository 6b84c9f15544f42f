#pragma once

#include "plover/place/NearbyCells.h"

#include <QWidget>

class CompassRose;
class QLabel;

// "Cells around you": the compass rose of the operator's cells near the user's place, what it
// shows, and the cell last clicked. A click asks for that cell's map.
class RoseWindow : public QWidget
{
    Q_OBJECT
public:
    explicit RoseWindow(QWidget* parent = nullptr);

    CompassRose* Rose = nullptr;
    QLabel* LblCaption = nullptr; // how many cells, of which operator, within what
    QLabel* LblPicked = nullptr;  // the cell last clicked

    void showCells(const QList<place::NearbyCell>& cells, const QString& operatorText,
                   const QString& servingLac, const QString& servingCellId);

signals:
    void mapWanted(const place::NearbyCell& cell);
};
