// Transit time of a measuring point: the picked arrival shifted by the pending time
// corrections (in whole samples) plus the acquisition delay.
#pragma once

#include "core/data/measuring_point.h"

#include <cstdint>

namespace crackdepth {

struct TransitTime {
    float time = 0;         // us
    std::int32_t shift = 0; // the corrections in whole samples (truncated toward zero)
};

// T = (shift + arrivalIndex)·dt + delay, with shift = (correctionAll + the point's timeShift
// + lineCorrection) / dt truncated toward zero.
TransitTime transitTime(const MeasuringPoint& point, float lineCorrection, float correctionAll);
// The same with the first arrival at `arrivalIndex` instead of the point's own.
TransitTime transitTime(const MeasuringPoint& point, std::int32_t arrivalIndex,
                        float lineCorrection, float correctionAll);

} // namespace crackdepth
