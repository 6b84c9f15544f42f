#include "tools/cellsvc/ReaderPool.h"

namespace cellsvc
{

// Holds one reader for the length of a lookup and gives it back, also when the lookup throws.
class ReaderPool::Lease
{
public:
    explicit Lease(ReaderPool& pool) : pool_(pool)
    {
        std::unique_lock lock(pool_.mutex_);
        pool_.returned_.wait(lock, [this] { return !pool_.idle_.empty(); });
        reader_ = std::move(pool_.idle_.back());
        pool_.idle_.pop_back();
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease()
    {
        {
            const std::lock_guard lock(pool_.mutex_);
            pool_.idle_.push_back(std::move(reader_));
        }
        pool_.returned_.notify_one();
    }
    CellReader& reader() { return *reader_; }

private:
    ReaderPool& pool_;
    std::unique_ptr<CellReader> reader_;
};

ReaderPool::ReaderPool(const std::string& path, unsigned size,
                       CellReader::Clock::duration maxSnapshotAge)
    : maxSnapshotAge_(maxSnapshotAge)
{
    for (unsigned i = 0; i < std::max(size, 1u); ++i) {
        idle_.push_back(std::make_unique<CellReader>(path, maxSnapshotAge));
    }
    sweeper_ = std::jthread([this](std::stop_token stop) { sweep(stop); });
}

ReaderPool::~ReaderPool()
{
    sweeper_.request_stop();
    sweeper_.join();
}

void ReaderPool::sweep(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    while (!asleep_.wait_for(lock, stop, maxSnapshotAge_ / 2, [] { return false; })) {
        if (stop.stop_requested()) {
            return;
        }
        for (const auto& reader : idle_) {
            try {
                reader->releaseSnapshot(maxSnapshotAge_);
            } catch (const DatabaseError&) {
                // The next lookup on this reader meets the same fault and reports it.
            }
        }
    }
}

std::optional<CellLocation> ReaderPool::find(const CellKey& key)
{
    Lease lease(*this);
    return lease.reader().find(key);
}

std::vector<NearCell> ReaderPool::near(const NearQuery& query, std::size_t limit)
{
    Lease lease(*this);
    return lease.reader().near(query, limit);
}

} // namespace cellsvc
