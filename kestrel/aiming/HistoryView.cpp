#include "kestrel/aiming/HistoryView.h"

#include "kestrel/aiming/SignalHistory.h"
#include "platform/window/WindowHelpers.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace
{

constexpr int kTopDbm = -51;
constexpr int kBottomDbm = -113;
const QColor kGrid(70, 70, 70);
const QColor kAxisText(150, 150, 150);
const QColor kBest(255, 255, 255);
constexpr qint64 kMinuteMs = 60'000;

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
    setColour(this, QPalette::Window, Qt::black);
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
    const int textHeight = painter.fontMetrics().height();
    const QRectF plot =
        QRectF(rect()).adjusted(left, 6 * scale_, -6 * scale_, -6 * scale_ - textHeight);
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
    // The newest point stands at the right edge. The width spans what was recorded, from one
    // minute up to the history's ten, so that a short survey is not squeezed into a corner.
    const qint64 newest = points.back().atMs;
    const qint64 span = std::clamp(newest - points.front().atMs, kMinuteMs, SignalHistory::kSpanMs);
    const auto xOf = [&](qint64 atMs) {
        return plot.right() - double(newest - atMs) / double(span) * plot.width();
    };
    painter.setPen(kAxisText);
    const QRectF timeAxis(plot.left(), plot.bottom(), plot.width(), textHeight);
    painter.drawText(timeAxis, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1 min ago").arg((span + kMinuteMs - 1) / kMinuteMs));
    painter.drawText(timeAxis, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("now"));
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
        // Above the line, or below it where the line runs along the top.
        const bool above = y - textHeight - 2 >= plot.top();
        const QRectF caption(plot.left() + 4, above ? y - textHeight - 2 : y + 2, plot.width() - 8,
                             textHeight);
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, bestLevelCaption(history_));
    }
}
