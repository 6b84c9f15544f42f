#pragma once

#include "tools/cellsvc/Importer.h"

#include <cstdint>
#include <string>

namespace cellsvc
{

// 12345678 -> "12,345,678"
std::string groupThousands(std::int64_t number);

// One line of the import's progress bar:
// "[#########-----------]  45%  2,250,000 rows  512,000 rows/s  about 0:05 left"; without a
// file size (a pipe) only "2,250,000 rows  512,000 rows/s".
std::string progressLine(const ImportProgress& progress, double elapsedSeconds);

} // namespace cellsvc
