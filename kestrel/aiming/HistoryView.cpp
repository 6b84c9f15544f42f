#include "kestrel/aiming/HistoryView.h"

#include "kestrel/aiming/SignalHistory.h"
#include "platform/window/WindowHelpers.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace
{

const QColor kGrid(70, 70, 70);
const QColor kCellTick(120, 120, 120);
const QColor kAxisText(150, 150, 150);
const QColor kBest(255, 255, 255);
constexpr qint64 kMinuteMs = 60'000;

} // namespace

QString bestCaption(const SignalHistory& history)
{
    const auto best = history.best();
    if (!best) {
        return {};
    }
    const AimMeasure measure = history.measure();
    QString caption = QStringLiteral("best ");
    if (measure != AimMeasure::Level) {
        caption += aimMeasureName(measure) + u' ';
    }
    caption += aimValueText(measure, best->value) + QStringLiteral(" at ") +
               QDateTime::fromMSecsSinceEpoch(best->atMs).toString(QStringLiteral("HH:mm:ss"));
    if (!best->note.isEmpty()) {
        caption += QStringLiteral(", ") + best->note;
    }
    if (!best->cellId.isEmpty()) {
        caption += QStringLiteral(", cell ") + best->cellId;
    }
    return caption;
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
    const AimMeasure measure = history_.measure();
    const AimScale axis = aimScale(measure);
    const auto yOf = [&](double value) {
        return plot.bottom() -
               (value - axis.weakest) / (axis.strongest - axis.weakest) * plot.height();
    };

    // Grid lines inside the scale, at whole steps.
    painter.setPen(QPen(kGrid, 1));
    for (double value = std::floor(axis.weakest / axis.gridStep + 1) * axis.gridStep;
         value < axis.strongest; value += axis.gridStep) {
        painter.drawLine(QPointF(plot.left(), yOf(value)), QPointF(plot.right(), yOf(value)));
        painter.setPen(kAxisText);
        painter.drawText(QRectF(0, yOf(value) - 10 * scale_, left - 4, 20 * scale_),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
        painter.setPen(QPen(kGrid, 1));
    }
    painter.setPen(kAxisText);
    painter.drawText(QRectF(0, plot.top() - 6 * scale_, left - 4, textHeight),
                     Qt::AlignRight | Qt::AlignTop, QLatin1String(axis.unit));

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
    for (const HistoryPoint& point : points) {
        const double x = xOf(point.atMs);
        if (point.newCell) { // a short tick along the bottom
            painter.setPen(QPen(kCellTick, scale_));
            painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() - 8 * scale_));
        }
        if (point.marked) { // a tick down the whole plot, named at its top
            painter.setPen(QPen(kBest, scale_, Qt::DotLine));
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            painter.drawText(QRectF(x + 3, plot.top(), plot.right() - x, textHeight),
                             Qt::AlignLeft | Qt::AlignTop, point.note);
        }
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const std::optional<double> from = points[i - 1].value(measure);
        const std::optional<double> to = points[i].value(measure);
        if (!from || !to) {
            continue;
        }
        painter.setPen(QPen(points[i].colour, 2 * scale_, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(xOf(points[i - 1].atMs), yOf(*from)),
                         QPointF(xOf(points[i].atMs), yOf(*to)));
    }
    if (const auto best = history_.best()) {
        const double y = yOf(best->value);
        painter.setPen(QPen(kBest, scale_, Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        // Above the line, or below it where the line runs along the top.
        const bool above = y - textHeight - 2 >= plot.top();
        const QRectF caption(plot.left() + 4, above ? y - textHeight - 2 : y + 2, plot.width() - 8,
                             textHeight);
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, bestCaption(history_));
    }
}
