// Waveforms and inputs shared by the tests of the waveform view's displays.
#pragma once

#include "draw/waveform_display.h"

#include <QRectF>
#include <cmath>
#include <numbers>
#include <vector>

namespace crackdepth::draw::testing_support {

// Drawings are placed this far inside their images, so that strays outside show.
inline constexpr int kMargin = 10;

inline std::vector<Sample> constant(std::size_t n, Sample value) {
    return std::vector<Sample>(n, value);
}

// A decaying tone starting at `onset`, peaking near 2048 + amplitude.
inline std::vector<Sample> burst(std::size_t n, std::size_t onset, double amplitude) {
    std::vector<Sample> samples(n, kZeroLine);
    for (std::size_t i = onset; i < n; ++i) {
        const double t = static_cast<double>(i - onset);
        const double v = amplitude * std::exp(-t / 80.0) * std::sin(2 * std::numbers::pi * t / 20);
        samples[i] = static_cast<Sample>(std::lround(2048.0 + v));
    }
    return samples;
}

inline TraceInput traceOf(const std::vector<Sample>& samples) {
    TraceInput input;
    input.samples = samples;
    input.sampleCount = static_cast<std::int32_t>(samples.size());
    input.dt = 0.5f;
    input.gain = 1.0f;
    input.distance = 100.0f;
    input.crossingLine = true; // orange, so the trace is told apart from the black axes
    return input;
}

inline QRectF rectOf(int width, int height) {
    return {kMargin, kMargin, static_cast<double>(width), static_cast<double>(height)};
}

} // namespace crackdepth::draw::testing_support
