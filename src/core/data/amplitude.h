// The amplitude of a point's first arrival, in volts and in dB re 2.5e-8 V, read at its
// amplitude index.
#pragma once

#include "core/data/measuring_point.h"

#include <cstdint>
#include <optional>

namespace crackdepth {

// The gain a table uses: a stored gain of 0 stands for 100.
inline float effectiveGain(float gain) {
    return gain == 0.0f ? 100.0f : gain;
}

// (sample − 2048)·2/2048/(gain + 1e−6) at amplitudeIndex; 0 when the index lies outside the
// line's n samples.
float amplitudeVolts(const MeasuringPoint& point, std::int32_t sampleCount);

// 20·log10(|A| / 2.5e−8); none for an amplitude of 0 (minus infinity).
std::optional<float> amplitudeDb(const MeasuringPoint& point, std::int32_t sampleCount);

} // namespace crackdepth
