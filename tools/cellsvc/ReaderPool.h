#pragma once

#include "tools/cellsvc/CellDatabase.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace cellsvc
{

// A few read-only connections shared by the server's threads: each lookup borrows one, so no
// connection is ever used by two threads at once and none is opened per request. A sweeper
// drops the read snapshots of idle readers once they are `maxSnapshotAge` old, so that an
// import that commits while the server is quiet is seen, and checkpointed, all the same.
class ReaderPool
{
public:
    ReaderPool(const std::string& path, unsigned size,
               CellReader::Clock::duration maxSnapshotAge = std::chrono::milliseconds(200));
    ~ReaderPool();

    std::optional<CellLocation> find(const CellKey& key);
    std::vector<NearCell> near(const NearQuery& query, std::size_t limit);

private:
    class Lease;
    void sweep(std::stop_token stop);

    CellReader::Clock::duration maxSnapshotAge_;
    std::mutex mutex_;
    std::condition_variable returned_;   // a lease ended
    std::condition_variable_any asleep_; // the sweeper waits on this, until stopped
    std::vector<std::unique_ptr<CellReader>> idle_;
    std::jthread sweeper_; // last: stopped and joined before the readers go
};

} // namespace cellsvc
