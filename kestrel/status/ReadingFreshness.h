#pragma once

// What one polling cycle read from the modem.
struct CycleReadings {
    bool operatorRead = false; // an operator, or the news that there is none (which clears all)
    bool noOperator = false;
    bool levelRead = false; // a level, or the news that none can be measured
    enum class Location { NotRead, Missing, Read } location = Location::NotRead;
    bool qualityRead = false; // a 4G stick's quality figures
};

// Which parts of the display still show what the modem says now. A part goes stale after two
// cycles in a row that did not read it, or at once when the port's device goes away; a
// registration report without location fields makes the location stale at once. A fresh
// reading of a part makes it current again.
class ReadingFreshness
{
public:
    static constexpr int kStaleAfterCycles = 2;

    void cycleEnded(const CycleReadings& readings);
    // The device went away: everything shown is stale until read anew.
    void deviceLost();
    // A port was opened: the count of cycles without a reply starts again; the readings stay
    // as stale as they were until the modem answers.
    void portOpened();

    bool operatorStale() const { return operatorMisses_ >= kStaleAfterCycles; }
    bool levelStale() const { return levelMisses_ >= kStaleAfterCycles; }
    bool qualityStale() const { return qualityMisses_ >= kStaleAfterCycles; }
    bool locationStale() const { return locationMisses_ >= kStaleAfterCycles || locationMissing_; }
    // Two cycles in a row without any reply the queries could read.
    bool noReply() const { return silentCycles_ >= kStaleAfterCycles; }

private:
    static void count(int& misses, bool read);

    int operatorMisses_ = 0;
    int levelMisses_ = 0;
    int locationMisses_ = 0;
    int qualityMisses_ = 0;
    bool locationMissing_ = false;
    int silentCycles_ = 0;
};
