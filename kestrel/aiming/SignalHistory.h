#pragma once

#include "kestrel/aiming/AimMeasure.h"

#include <QColor>
#include <QString>
#include <array>
#include <deque>
#include <optional>

// One polling cycle's figures: each none while it is cleared, stale or unknown.
struct HistoryPoint {
    qint64 atMs = 0; // milliseconds since the epoch
    std::array<std::optional<double>, kAimMeasures.size()> values;
    QColor colour; // the technology's colour
    QString cellId;
    QString note;         // the mark in force: what the user wrote last, such as "N 30°"
    bool marked = false;  // the user set that mark at this point
    bool newCell = false; // the stick moved to another cell since the point before

    std::optional<double> value(AimMeasure measure) const
    {
        return values[static_cast<std::size_t>(measure)];
    }
};

struct BestValue {
    double value = 0;
    qint64 atMs = 0;
    QString note;
    QString cellId;
    bool operator==(const BestValue&) const = default;
};

// The figures over the last ten minutes, one point per polling cycle, and the best value of
// each measure since the history was opened or its best was reset, with the mark in force and
// the cell it was reached on. Times come from the caller. The measure aimed by is the one the
// views draw and `best()` gives.
class SignalHistory
{
public:
    static constexpr qint64 kSpanMs = 10 * 60 * 1000;

    void add(const HistoryPoint& point);
    // Points older than kSpanMs before the newest one are gone.
    const std::deque<HistoryPoint>& points() const { return points_; }

    void setMeasure(AimMeasure measure) { measure_ = measure; }
    AimMeasure measure() const { return measure_; }

    // The strongest value of the measure since the last reset; the earliest time reached.
    std::optional<BestValue> best() const { return best_[static_cast<std::size_t>(measure_)]; }
    void resetBest() { best_ = {}; }

private:
    std::deque<HistoryPoint> points_;
    AimMeasure measure_ = AimMeasure::Level;
    std::array<std::optional<BestValue>, kAimMeasures.size()> best_;
};
