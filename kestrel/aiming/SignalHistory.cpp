#include "kestrel/aiming/SignalHistory.h"

void SignalHistory::add(const HistoryPoint& point)
{
    points_.push_back(point);
    while (point.atMs - points_.front().atMs > kSpanMs) {
        points_.pop_front();
    }
    for (std::size_t i = 0; i < kAimMeasures.size(); ++i) {
        const std::optional<double>& value = point.values[i];
        if (value && (!best_[i] || *value > best_[i]->value)) {
            best_[i] = BestValue{*value, point.atMs, point.note, point.cellId};
        }
    }
}
