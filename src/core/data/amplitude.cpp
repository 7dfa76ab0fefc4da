#include "core/data/amplitude.h"

#include <cmath>

namespace crackdepth {

float amplitudeVolts(const MeasuringPoint& point, std::int32_t sampleCount) {
    const std::int32_t k = point.amplitudeIndex;
    const auto available = static_cast<std::int64_t>(point.samples.size());
    Sample sample = kZeroLine;
    if (k >= 0 && k < sampleCount && k < available) {
        sample = point.samples[static_cast<std::size_t>(k)];
    } else if (point.samples.empty() && point.amplitudeSample && k >= 0 && k < sampleCount) {
        sample = *point.amplitudeSample; // read without its waveforms
    } else {
        return 0.0f;
    }
    const auto centred = static_cast<float>(static_cast<int>(sample) - static_cast<int>(kZeroLine));
    return centred * 2.0f / 2048.0f / (effectiveGain(point.gain) + 1e-6f);
}

std::optional<float> amplitudeDb(const MeasuringPoint& point, std::int32_t sampleCount) {
    const float volts = std::fabs(amplitudeVolts(point, sampleCount));
    const float db = 20.0f * std::log(volts / 2.5e-8f) / std::log(10.0f);
    if (!std::isfinite(db)) {
        return std::nullopt;
    }
    return db;
}

} // namespace crackdepth
