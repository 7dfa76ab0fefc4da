// Re-picking the first arrival of the current point: the operator clicks the trace at a
// time, the nearest sample becomes the arrival (and the amplitude index).
#pragma once

#include "core/analysis/sample_index.h"

#include <cstdint>

namespace crackdepth {

class Document;

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
