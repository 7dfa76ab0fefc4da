// Pieces of a report made on several threads and taken in order on the calling thread: the
// word processor's pictures are drawn and compressed side by side, while the document, its
// progress and a stop stay where they were, so that the file is the same on any number of
// threads.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace crackdepth::report {

// The threads to use for `count` pieces: `wanted`, or one per processor for 0, and never
// more than there are pieces.
unsigned threadsFor(std::size_t count, unsigned wanted);

// Makes pieces 0 … count−1 with `make` on `threads` threads (the calling thread alone for
// one) and hands each to `take` on the calling thread, in order. `take` returning false stops
// the work: pieces not yet begun are never made, and those being made are waited for and
// dropped. Returns false when stopped. An exception from `make` is thrown again here, after
// the other threads have ended.
bool makeInOrder(std::size_t count, unsigned threads,
                 const std::function<std::string(std::size_t)>& make,
                 const std::function<bool(std::size_t, std::string&&)>& take);

} // namespace crackdepth::report
