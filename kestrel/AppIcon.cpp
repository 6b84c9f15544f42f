#include "kestrel/AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace
{

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    painter.setPen(QPen(QColor(64, 64, 64), unit));
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRectF(0.5 * unit, 0.5 * unit, 15 * unit, 15 * unit), 2 * unit,
                            2 * unit);
    // The bars in the light blue of the window's display panel, the last one in the 3G blue.
    const QColor colours[] = {QColor(192, 192, 255), QColor(192, 192, 255), QColor(192, 192, 255),
                              QColor(0, 0, 255)};
    painter.setPen(Qt::NoPen);
    for (int bar = 0; bar < 4; ++bar) {
        const qreal height = (bar + 1) * 2.75 * unit;
        painter.setBrush(colours[bar]);
        painter.drawRect(QRectF((2.5 + bar * 3) * unit, 13.5 * unit - height, 2 * unit, height));
    }
    return pixmap;
}

} // namespace

QIcon kestrelIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(drawIcon(size));
    }
    return icon;
}
