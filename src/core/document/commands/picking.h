// Re-picking the first arrival of the current point: the operator clicks the trace at a
// time, the nearest sample becomes the arrival (and the amplitude index), and the selection
// commands of the tables and the plot.
#pragma once

#include "core/analysis/sample_index.h"

#include <cstdint>

namespace crackdepth {

class Document;

inline constexpr const char* kPickArrivalName = "拾取初至";

// The edit "拾取初至": sets the current point's arrivalIndex and amplitudeIndex to
// `sampleIndex` − the shift of the pending time corrections (never below the first sample).
// Nothing happens without a shown point.
void PickArrival(Document& document, std::int32_t sampleIndex);

// A click on a row of the distance–time plot: point `index` of the non-crossing line becomes
// its current point and the non-crossing line is shown (also under a crossing tab).
void ShowNonCrossingPoint(Document& document, std::int32_t index);

// A click on table row `row` (0 is the header): the row's point becomes the shown line's
// current point (a row past the last point gives the last point). True when a point became
// current.
bool ClickTableRow(Document& document, std::int32_t row);

} // namespace crackdepth
