#include "cli/memory_reserve.h"

#include <new>

namespace crackdepth::cli {
namespace {

void* reserve = nullptr;

// Called by operator new when an allocation fails: frees the reserve and fails the
// allocation. Letting it try again instead could spend the reserve on the very work that
// ran out, leaving nothing for the unwinding.
[[noreturn]] void releaseReserve() {
    std::set_new_handler(nullptr);
    ::operator delete(reserve);
    reserve = nullptr;
    throw std::bad_alloc();
}

} // namespace

MemoryReserve::MemoryReserve(std::size_t bytes) {
    reserve = ::operator new(bytes, std::nothrow);
    if (reserve != nullptr) {
        std::set_new_handler(releaseReserve);
    }
}

MemoryReserve::~MemoryReserve() {
    if (reserve != nullptr) {
        std::set_new_handler(nullptr);
        ::operator delete(reserve);
        reserve = nullptr;
    }
}

} // namespace crackdepth::cli
