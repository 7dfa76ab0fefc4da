// What a line read without its waveforms must have in common with the same line read whole:
// every point's record, timing, picks, marks and amplitude. For the tests and fuzz targets
// that hold the two readers to each other.
#pragma once

#include "core/data/point_list.h"

namespace crackdepth {

bool sameRecords(const PointList& withoutWaveforms, const PointList& whole);

} // namespace crackdepth
