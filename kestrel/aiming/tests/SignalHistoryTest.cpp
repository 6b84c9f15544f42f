#include "kestrel/aiming/SignalHistory.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{

constexpr qint64 kMinute = 60'000;

// The best level is the strongest since the last reset, dated when first reached; cycles
// without a level count for nothing; points older than ten minutes go.
TEST(SignalHistory, KeepsTenMinutesAndTheBestLevelSinceTheReset)
{
    SignalHistory history;
    const QColor blue(0, 0, 255);
    for (const auto& [at, level] : std::vector<std::pair<qint64, std::optional<int>>>{
             {0, -85}, {300, -71}, {600, std::nullopt}, {900, -71}, {1200, -90}})
        history.add({at, level, blue});
    EXPECT_EQ(history.best(), (BestLevel{-71, 300}));
    EXPECT_EQ(history.points().size(), 5u);

    history.resetBest();
    EXPECT_EQ(history.best(), std::nullopt);
    history.add({1500, std::nullopt, blue});
    EXPECT_EQ(history.best(), std::nullopt);
    history.add({1800, -95, blue});
    EXPECT_EQ(history.best(), (BestLevel{-95, 1800}));

    history.add({10 * kMinute + 600, -80, blue});
    EXPECT_EQ(history.points().front().atMs, 600) << "the first two are over ten minutes old";
    EXPECT_EQ(history.best(), (BestLevel{-80, 10 * kMinute + 600}));
}

} // namespace
