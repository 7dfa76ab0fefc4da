#include "core/data/sample_detail.h"

#include "core/data/amplitude.h"

#include <cstring>

namespace crackdepth {
namespace {

// Equal, or both the same NaN bits: a damaged record may hold any float.
bool sameFloat(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

bool sameRecords(const PointList& withoutWaveforms, const PointList& whole) {
    if (withoutWaveforms.size() != whole.size() ||
        withoutWaveforms.sampleCount != whole.sampleCount) {
        return false;
    }
    for (std::size_t k = 0; k < whole.size(); ++k) {
        const MeasuringPoint& a = withoutWaveforms[k];
        const MeasuringPoint& b = whole[k];
        const auto dbA = amplitudeDb(a, whole.sampleCount);
        const auto dbB = amplitudeDb(b, whole.sampleCount);
        if (!a.samples.empty() || !sameFloat(a.distance, b.distance) ||
            !sameFloat(a.delay, b.delay) || !sameFloat(a.gain, b.gain) ||
            a.arrivalIndex != b.arrivalIndex || a.amplitudeIndex != b.amplitudeIndex ||
            a.kept != b.kept || !(a.record == b.record) || dbA.has_value() != dbB.has_value() ||
            (dbA && !sameFloat(*dbA, *dbB))) {
            return false;
        }
    }
    return true;
}

} // namespace crackdepth
