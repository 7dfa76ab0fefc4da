#include "core/analysis/transit_time.h"

#include "core/common/conversions.h"

namespace crackdepth {

TransitTime transitTime(const MeasuringPoint& point, float lineCorrection, float correctionAll) {
    return transitTime(point, point.arrivalIndex, lineCorrection, correctionAll);
}

TransitTime transitTime(const MeasuringPoint& point, std::int32_t arrivalIndex,
                        float lineCorrection, float correctionAll) {
    const float dt = point.record.samplingInterval();
    const float correction = correctionAll + point.timeShift + lineCorrection;
    TransitTime result;
    result.shift = truncToInt32(correction / dt);
    const auto samples = static_cast<std::int64_t>(result.shift) + arrivalIndex;
    result.time = static_cast<float>(samples) * dt + point.delay;
    return result;
}

} // namespace crackdepth
