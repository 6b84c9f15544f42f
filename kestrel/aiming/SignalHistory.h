#pragma once

#include <QColor>
#include <deque>
#include <optional>

// One polling cycle's level: none while the level is cleared or stale.
struct HistoryPoint {
    qint64 atMs = 0; // milliseconds since the epoch
    std::optional<int> levelDbm;
    QColor colour; // the technology's colour
};

struct BestLevel {
    int levelDbm = 0;
    qint64 atMs = 0;
    bool operator==(const BestLevel&) const = default;
};

// The level over the last ten minutes, one point per polling cycle, and the best level since
// the history was opened or its best was reset. Times come from the caller.
class SignalHistory
{
public:
    static constexpr qint64 kSpanMs = 10 * 60 * 1000;

    void add(const HistoryPoint& point);
    // Points older than kSpanMs before the newest one are gone.
    const std::deque<HistoryPoint>& points() const { return points_; }

    // The strongest level since the last reset; the earliest time it was reached.
    std::optional<BestLevel> best() const { return best_; }
    void resetBest() { best_.reset(); }

private:
    std::deque<HistoryPoint> points_;
    std::optional<BestLevel> best_;
};
