#include "kestrel/aiming/HistoryView.h"

#include "kestrel/aiming/SignalHistory.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>

namespace
{

constexpr int kTopDbm = -51;
constexpr int kBottomDbm = -113;
const QColor kGrid(70, 70, 70);
const QColor kAxisText(150, 150, 150);
const QColor kBest(255, 255, 255);

} // namespace

QString bestLevelCaption(const SignalHistory& history)
{
    const auto best = history.best();
    if (!best) {
        return {};
    }
    return QStringLiteral("best %1 dBm at %2")
        .arg(best->levelDbm)
        .arg(QDateTime::fromMSecsSinceEpoch(best->atMs).toString(QStringLiteral("HH:mm:ss")));
}

HistoryView::HistoryView(const SignalHistory& history, QWidget* parent)
    : QWidget(parent), history_(history)
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
}

void HistoryView::setScale(int scale)
{
    scale_ = std::max(scale, 1);
    update();
}

void HistoryView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = this->font();
    font.setPointSize(8 * scale_);
    painter.setFont(font);
    const int left = painter.fontMetrics().horizontalAdvance(QStringLiteral("-110 ")) + 4;
    const QRectF plot = QRectF(rect()).adjusted(left, 6 * scale_, -6 * scale_, -6 * scale_);
    const auto yOf = [&](double dbm) {
        return plot.bottom() - (dbm - kBottomDbm) / (kTopDbm - kBottomDbm) * plot.height();
    };

    painter.setPen(QPen(kGrid, 1));
    for (int dbm = -110; dbm <= -60; dbm += 10) {
        painter.drawLine(QPointF(plot.left(), yOf(dbm)), QPointF(plot.right(), yOf(dbm)));
        painter.setPen(kAxisText);
        painter.drawText(QRectF(0, yOf(dbm) - 10 * scale_, left - 4, 20 * scale_),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(dbm));
        painter.setPen(QPen(kGrid, 1));
    }

    const auto& points = history_.points();
    if (points.empty()) {
        return;
    }
    // The newest point stands at the right edge; ten minutes fill the width.
    const qint64 newest = points.back().atMs;
    const auto xOf = [&](qint64 atMs) {
        return plot.right() - double(newest - atMs) / double(SignalHistory::kSpanMs) * plot.width();
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const HistoryPoint& from = points[i - 1];
        const HistoryPoint& to = points[i];
        if (!from.levelDbm || !to.levelDbm) {
            continue;
        }
        painter.setPen(QPen(to.colour, 2 * scale_, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(xOf(from.atMs), yOf(*from.levelDbm)),
                         QPointF(xOf(to.atMs), yOf(*to.levelDbm)));
    }
    if (const auto best = history_.best()) {
        const double y = yOf(best->levelDbm);
        painter.setPen(QPen(kBest, scale_, Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawText(QRectF(plot.left() + 4, y - 22 * scale_, plot.width() - 8, 20 * scale_),
                         Qt::AlignLeft | Qt::AlignBottom, bestLevelCaption(history_));
    }
}
