// Re-picking the first arrival of the current point: the operator clicks the trace at a
// time, the nearest sample becomes the arrival (and the amplitude index).
#pragma once

#include <cstdint>

namespace crackdepth {

class Document;

// The sample index i in 0 … n−1 whose time delay + i·dt lies nearest to `time`; the later
// index on a tie. 0 when dt is not a positive number or n < 1.
std::int32_t nearestSampleIndex(double time, float delay, float dt, std::int32_t n);

// Sets the current point's arrivalIndex and amplitudeIndex to `sampleIndex` − the shift of
// the pending time corrections, marks the document modified and repaints. Nothing happens
// without a shown line.
void PickArrival(Document& document, std::int32_t sampleIndex);

} // namespace crackdepth

namespace crackdepth {

// A click on a row of the distance–time plot: point `index` of the non-crossing line becomes
// its current point and the non-crossing line is shown (also under a crossing tab).
void ShowNonCrossingPoint(Document& document, std::int32_t index);

} // namespace crackdepth
