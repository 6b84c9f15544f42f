#include "kestrel/aiming/SignalHistory.h"

void SignalHistory::add(const HistoryPoint& point)
{
    points_.push_back(point);
    while (point.atMs - points_.front().atMs > kSpanMs) {
        points_.pop_front();
    }
    if (point.levelDbm && (!best_ || *point.levelDbm > best_->levelDbm)) {
        best_ = BestLevel{*point.levelDbm, point.atMs};
    }
}
