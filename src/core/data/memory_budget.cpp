#include "core/data/memory_budget.h"

#include "core/data/point_list.h"

#include <algorithm>
#include <unistd.h>

namespace crackdepth {
namespace {

// What the allocator adds to every block it hands out, roughly.
constexpr std::uint64_t kAllocationOverhead = 16;

} // namespace

std::uint64_t memoryForBlock(const TestParameters& header) {
    if (header.pointCount <= 0 || header.sampleCount <= 0) {
        return sizeof(TestParameters) + sizeof(PointList);
    }
    const auto samples = static_cast<std::uint64_t>(header.sampleCount);
    // A point: the point itself behind its pointer, and its working and backup waveforms.
    const std::uint64_t perPoint = sizeof(void*) + sizeof(MeasuringPoint) +
                                   3 * kAllocationOverhead + 2 * samples * sizeof(Sample);
    return sizeof(TestParameters) + sizeof(PointList) +
           static_cast<std::uint64_t>(header.pointCount) * perPoint;
}

std::uint64_t memoryBudgetFor(std::uint64_t physicalMemory) {
    return physicalMemory == 0 ? kMemoryCeiling : std::min(kMemoryCeiling, physicalMemory / 4);
}

std::uint64_t memoryBudget() {
    static const std::uint64_t budget = [] {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long pageSize = ::sysconf(_SC_PAGESIZE);
        return memoryBudgetFor(pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) *
                                                               static_cast<std::uint64_t>(pageSize)
                                                         : 0);
    }();
    return budget;
}

} // namespace crackdepth
