// How far the digital filter delays a waveform. The recursive sections shift every frequency
// by their phase; at a trace's main frequency that shift is what the eye (and a
// cross-correlation) sees as the filtered trace coming late, so the filter dialog and the
// waveform read-outs state it.
#pragma once

#include "core/data/measuring_point.h"

#include <cstdint>
#include <optional>
#include <span>

namespace crackdepth {

// Phase delay in us of the filters FilterWaveform runs (one way) at `frequencyHz`, for a
// sampling interval dt in us; positive when the output comes late. A high-pass advances the
// frequencies above its cut-off a little, so it counts negative. None for a frequency or
// interval that is not positive and finite, or at or above half the sampling rate.
std::optional<float> filterPhaseDelayUs(float dt, bool highPassOn, float highPassHz, bool lowPassOn,
                                        float lowPassHz, double frequencyHz);

// The main frequency of a waveform in Hz: the peak of its spectrum (Spectrum without
// refinement, so of its first 512 samples), placed between the bins. None for a waveform
// without any swing or an interval that is not positive.
std::optional<double> mainFrequencyHz(std::span<const Sample> samples, std::int32_t n, float dt);

} // namespace crackdepth
