#pragma once

#include "kestrel/at/Conversions.h"

#include <QColor>
#include <QString>
#include <optional>

namespace at
{

// Technology colours of `LblCOPS` and the level bar: green for 2G, blue for 3G, amber for 4G and
// violet for 5G; the last two stand out from the first two and read well on the black panel.
inline QColor colour2G()
{
    return QColor(0, 192, 0);
}
inline QColor colour3G()
{
    return QColor(0, 0, 255);
}
inline QColor colour4G()
{
    return QColor(255, 176, 0);
}
inline QColor colour5G()
{
    return QColor(200, 100, 255);
}

// What one reply step writes into the main window. Every field that is set is written; a field
// left unset keeps what the window shows. Apply in this order: the bar's value before
// `lblCsqFromBarPercentage`, which reads the bar's percentage.
struct DisplayWrites {
    std::optional<QString> lblCops;
    std::optional<QString> lblCsq;
    std::optional<QString> lblMcc;
    std::optional<QString> lblMnc;
    std::optional<QString> lblLac;
    std::optional<QString> lblCellId;
    std::optional<QString> text1; // raw reply view
    // Text colour of `LblCOPS` and the level bar's two colours, all three together.
    std::optional<QColor> technologyColour;
    std::optional<int> barValue; // value of `ProgressBar1`
    // `LblCSQ` becomes percentCaption(the bar's percentage), read after barValue is written.
    bool lblCsqFromBarPercentage = false;
    // The program-wide `LevelDbm`; a set field holding nullopt clears it.
    std::optional<DbmLevel> levelDbm;
};

} // namespace at
