// The sample of a waveform nearest to a time: what a click on the trace picks and what the
// pointer's read-outs show.
#pragma once

#include <cstdint>

namespace crackdepth {

// The sample index i in 0 … n−1 whose time delay + i·dt lies nearest to `time`; the later
// index on a tie. 0 when dt is not a positive number or n < 1.
std::int32_t nearestSampleIndex(double time, float delay, float dt, std::int32_t n);

} // namespace crackdepth
