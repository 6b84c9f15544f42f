#include "kestrel/aiming/SignalHistory.h"

#include "kestrel/aiming/HistoryView.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <vector>

namespace
{

constexpr qint64 kMinute = 60'000;

HistoryPoint at(qint64 ms, std::optional<double> level, std::optional<double> sinr = {},
                const QString& note = {})
{
    HistoryPoint point;
    point.atMs = ms;
    point.values = {level, std::nullopt, sinr};
    point.cellId = QStringLiteral("12834021");
    point.note = note;
    return point;
}

// The best value is the strongest since the last reset, dated when first reached, for each
// measure; cycles without a value count for nothing; points older than ten minutes go.
TEST(SignalHistory, KeepsTenMinutesAndTheBestOfEachMeasureSinceTheReset)
{
    SignalHistory history;
    for (const HistoryPoint& point :
         {at(0, -85, 3.0), at(300, -71, 1.0, "N 30°"), at(600, std::nullopt, 12.4, "E"),
          at(900, -71), at(1200, -90)})
        history.add(point);
    EXPECT_EQ(history.best(), (BestValue{-71, 300, "N 30°", "12834021"}));
    history.setMeasure(AimMeasure::Sinr);
    EXPECT_EQ(history.best(), (BestValue{12.4, 600, "E", "12834021"}));
    history.setMeasure(AimMeasure::Rsrp);
    EXPECT_EQ(history.best(), std::nullopt) << "a 3G stick gives no RSRP";
    EXPECT_EQ(history.points().size(), 5u);

    history.setMeasure(AimMeasure::Level);
    history.resetBest();
    EXPECT_EQ(history.best(), std::nullopt);
    history.add(at(1500, std::nullopt));
    EXPECT_EQ(history.best(), std::nullopt);
    history.add(at(1800, -95));
    EXPECT_EQ(history.best(), (BestValue{-95, 1800, "", "12834021"}));

    history.add(at(10 * kMinute + 600, -80));
    EXPECT_EQ(history.points().front().atMs, 600) << "the first two are over ten minutes old";
    EXPECT_EQ(history.best()->atMs, 10 * kMinute + 600);

    // The caption names the measure, the mark and the cell.
    const qint64 noon = QDateTime(QDate(2026, 12, 7), QTime(14, 3, 27)).toMSecsSinceEpoch();
    history.add(at(noon, -61, 16.0, "N 30°"));
    EXPECT_EQ(bestCaption(history), "best -61 dBm at 14:03:27, N 30°, cell 12834021");
    history.setMeasure(AimMeasure::Sinr);
    EXPECT_EQ(bestCaption(history), "best SINR 16.0 dB at 14:03:27, N 30°, cell 12834021");
}

} // namespace
