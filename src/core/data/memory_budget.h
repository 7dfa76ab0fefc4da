// How much memory reading one measurement file may take. A header states every count, so
// the memory a file needs is known before anything is allocated: a file that would need
// more than the budget is refused instead of exhausting the machine.
#pragma once

#include "core/data/test_parameters.h"

#include <cstdint>

namespace crackdepth {

// The most a file may take whatever the machine: thousands of times a real measurement (a
// few hundred kilobytes), and little enough that the program can still draw, analyse and
// save what it read.
inline constexpr std::uint64_t kMemoryCeiling = std::uint64_t{1} << 30; // 1 GiB

// Bytes the points of one line block take once read: both waveforms of every point and the
// bookkeeping of the points and the line.
std::uint64_t memoryForBlock(const TestParameters& header);

// The budget on a machine with `physicalMemory` bytes: a quarter of it, at most the ceiling;
// the ceiling when the machine's memory is unknown (0).
std::uint64_t memoryBudgetFor(std::uint64_t physicalMemory);

// The budget on this machine.
std::uint64_t memoryBudget();

} // namespace crackdepth
