#include "core/signal/filter_delay.h"

#include "core/common/conversions.h"
#include "core/signal/filter.h"
#include "core/signal/spectrum.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace crackdepth {
namespace {

constexpr int kPhaseSteps = 512; // steps of the phase unwrapping from 0 up to the frequency

// arg of 1 − c1·e^(−jw) + c2·e^(−2jw), followed continuously from w = 0, where it is 0 for
// a stable section (1 − c1 + c2 > 0).
double denominatorPhase(const SectionCoefficients& s, double w) {
    double phase = 0;
    double previous = 0;
    for (int step = 1; step <= kPhaseSteps; ++step) {
        const double at = w * step / kPhaseSteps;
        const std::complex<double> d =
            1.0 - s.c1 * std::polar(1.0, -at) + s.c2 * std::polar(1.0, -2.0 * at);
        const double wrapped = std::arg(d);
        double change = wrapped - previous;
        while (change > std::numbers::pi) {
            change -= 2 * std::numbers::pi;
        }
        while (change < -std::numbers::pi) {
            change += 2 * std::numbers::pi;
        }
        phase += change;
        previous = wrapped;
    }
    return phase;
}

} // namespace

std::optional<float> filterPhaseDelayUs(float dt, bool highPassOn, float highPassHz, bool lowPassOn,
                                        float lowPassHz, double frequencyHz) {
    const double interval = static_cast<double>(dt) / 1e6;
    if (!(interval > 0) || !std::isfinite(interval) || !(frequencyHz > 0) ||
        !std::isfinite(frequencyHz) || frequencyHz * interval >= 0.5) {
        return std::nullopt;
    }
    const double w = 2 * std::numbers::pi * frequencyHz * interval; // radians per sample
    double phase = 0;
    if (lowPassOn) {
        if (const auto section = lowPassCoefficients(interval, lowPassHz)) {
            // k·(1 + e^(−jw))² has the phase −w.
            phase += -w - denominatorPhase(*section, w);
        }
    }
    if (highPassOn) {
        const SectionCoefficients section =
            highPassCoefficients(interval, truncToInt32(highPassHz));
        // k·(1 − e^(−jw))² = −4k·sin²(w/2)·e^(−jw) has the phase π − w.
        phase += std::numbers::pi - w - denominatorPhase(section, w);
    }
    return static_cast<float>(-phase / (2 * std::numbers::pi * frequencyHz) * 1e6);
}

std::optional<double> mainFrequencyHz(std::span<const Sample> samples, std::int32_t n, float dt) {
    if (n <= 0 || !(dt > 0)) {
        return std::nullopt;
    }
    // The spectrum of the first 512 samples at full rate; the peak is placed between its
    // bins by a parabola through it and its neighbours.
    const SpectrumResult spectrum = Spectrum(samples, n, dt, 1);
    const auto peak = static_cast<std::size_t>(spectrum.peak);
    if (peak == 0 || peak + 1 >= kSpectrumBins || !(spectrum.bins[peak] > 0)) {
        return std::nullopt;
    }
    const double before = spectrum.bins[peak - 1];
    const double at = spectrum.bins[peak];
    const double after = spectrum.bins[peak + 1];
    const double curve = before - 2 * at + after;
    const double offset = curve < 0 ? 0.5 * (before - after) / curve : 0.0;
    const double binHz = binFrequencyHz(1, 1, dt);
    const double hz = (static_cast<double>(peak) + offset) * binHz;
    return std::isfinite(hz) && hz > 0 ? std::optional<double>(hz) : std::nullopt;
}

} // namespace crackdepth
