// Memory held back for the clean-up after an allocation failure. Destroying a large JSON
// document allocates (the library flattens it onto a heap stack), so unwinding out of a
// command that ran out of memory would itself run out and abort. The first failed allocation
// releases the reserve and then fails as usual; the unwinding and the message that follows
// have room to run.
#pragma once

#include <cstddef>

namespace crackdepth::cli {

class MemoryReserve {
public:
    // Holds `bytes` of address space (untouched, so it costs no physical memory) until the
    // first allocation that fails.
    explicit MemoryReserve(std::size_t bytes);
    ~MemoryReserve();
    MemoryReserve(const MemoryReserve&) = delete;
    MemoryReserve& operator=(const MemoryReserve&) = delete;
};

} // namespace crackdepth::cli
