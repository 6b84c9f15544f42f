#pragma once

#include "tools/cellsvc/CellDatabase.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace cellsvc {

// A few read-only connections shared by the server's threads: each lookup borrows one, so no
// connection is ever used by two threads at once and none is opened per request.
class ReaderPool {
public:
    ReaderPool(const std::string& path, unsigned size);

    std::optional<CellLocation> find(const CellKey& key);
    std::int64_t count();

private:
    class Lease;

    std::mutex mutex_;
    std::condition_variable returned_;
    std::vector<std::unique_ptr<CellReader>> idle_;
};

} // namespace cellsvc
