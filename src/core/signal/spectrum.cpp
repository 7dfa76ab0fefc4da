#include "core/signal/spectrum.h"

#include "core/common/conversions.h"
#include "core/signal/filter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace crackdepth {
namespace {

constexpr std::size_t kLog2FftSize = 9;

// The window's π, to the digits the program uses.
constexpr double kWindowPi = 3.1415926;

struct Twiddles {
    std::array<float, kFftSize / 2> cos{};
    std::array<float, kFftSize / 2> sin{};
};

const Twiddles& twiddles() {
    static const Twiddles table = [] {
        Twiddles t;
        for (std::size_t k = 0; k < t.cos.size(); ++k) {
            const double angle =
                2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(kFftSize);
            t.cos[k] = static_cast<float>(std::cos(angle));
            t.sin[k] = static_cast<float>(std::sin(angle));
        }
        return t;
    }();
    return table;
}

const std::array<float, kFftSize>& hannWindow() {
    static const std::array<float, kFftSize> window = [] {
        std::array<float, kFftSize> w{};
        constexpr double centre = (static_cast<double>(kFftSize) - 1.0) / 2.0; // 255.5
        for (std::size_t i = 0; i < w.size(); ++i) {
            const double phase = (static_cast<double>(i) - centre) * kWindowPi / centre;
            w[i] = static_cast<float>(0.5 * (1.0 + std::cos(phase)));
        }
        return w;
    }();
    return window;
}

std::size_t bitReversed(std::size_t index) {
    std::size_t reversed = 0;
    for (std::size_t bit = 0; bit < kLog2FftSize; ++bit) {
        reversed = (reversed << 1) | ((index >> bit) & 1u);
    }
    return reversed;
}

} // namespace

void fft512(std::array<float, kFftSize>& re, std::array<float, kFftSize>& im) {
    const Twiddles& w = twiddles();
    for (std::size_t span = kFftSize; span >= 2; span /= 2) {
        const std::size_t half = span / 2;
        const std::size_t stride = kFftSize / span;
        for (std::size_t start = 0; start < kFftSize; start += span) {
            for (std::size_t j = 0; j < half; ++j) {
                const std::size_t a = start + j;
                const std::size_t b = a + half;
                const float dr = re[a] - re[b];
                const float di = im[a] - im[b];
                re[a] += re[b];
                im[a] += im[b];
                // Multiply the difference by e^(−2πi·j·stride/512).
                const float wr = w.cos[j * stride];
                const float wi = -w.sin[j * stride];
                re[b] = dr * wr - di * wi;
                im[b] = dr * wi + di * wr;
            }
        }
    }
    for (std::size_t i = 0; i < kFftSize; ++i) {
        const std::size_t j = bitReversed(i);
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
}

std::int32_t peakIndex(std::span<const float> values) {
    std::size_t best = 0;
    for (std::size_t k = 1; k < values.size(); ++k) {
        if (values[k] > values[best]) {
            best = k;
        }
    }
    return static_cast<std::int32_t>(best);
}

double binFrequencyHz(std::size_t bin, std::int32_t refine, float dt) {
    const std::int32_t a = std::clamp(refine, kMinRefine, kMaxRefine);
    const double span = static_cast<double>(kFftSize) * a * static_cast<double>(dt);
    if (!(span > 0) || !std::isfinite(span)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return static_cast<double>(bin) * 1e6 / span;
}

SpectrumResult Spectrum(std::span<const Sample> samples, std::int32_t n, float dt,
                        std::int32_t refine) {
    const std::int32_t a = std::clamp(refine, kMinRefine, kMaxRefine);
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(n, 0)), samples.size());

    std::vector<float> x(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<float>(samples[i]) - static_cast<float>(kZeroLine);
    }

    // Anti-aliasing for the decimated rate: cut-off at 1 / 2.5 of it.
    if (dt > 0 && std::isfinite(dt)) {
        const double decimatedInterval = a * static_cast<double>(dt);
        const double cutoff = 1e6 / decimatedInterval / 2.5;
        LowPassSection(x, decimatedInterval / 1e6, static_cast<float>(roundHalfAway(cutoff)));
    }

    // The mean as a whole number: the filtered values are whole numbers already.
    std::int64_t sum = 0;
    for (const float value : x) {
        sum += truncToInt32(value);
    }
    const std::int64_t mean = count == 0 ? 0 : sum / static_cast<std::int64_t>(count);
    const auto meanValue = static_cast<float>(mean);

    std::array<float, kFftSize> y{};
    for (std::size_t i = 0; i < std::min(count, kFftSize); ++i) {
        y[i] = x[i] - meanValue;
    }

    const std::array<float, kFftSize>& window = hannWindow();
    const auto step = static_cast<std::size_t>(a);
    const std::size_t kept = kFftSize / step;
    std::array<float, kFftSize> re{};
    std::array<float, kFftSize> im{};
    for (std::size_t c = 0; c < kept; ++c) {
        re[c] = y[c * step] * window[c * step];
    }
    fft512(re, im);

    std::array<float, kSpectrumBins> power{};
    for (std::size_t k = 0; k < power.size(); ++k) {
        power[k] = re[k] * re[k] + im[k] * im[k];
    }
    SpectrumResult result;
    result.peak = peakIndex(power);
    const float largest = power[static_cast<std::size_t>(result.peak)];
    // In double, so that the largest bin is exactly 466 whatever its power.
    const double scale = largest == 0.0f ? 1.0 : static_cast<double>(largest);
    for (std::size_t k = 0; k < power.size(); ++k) {
        result.bins[k] =
            static_cast<float>(static_cast<double>(power[k]) * kSpectrumPeakValue / scale);
    }
    return result;
}

} // namespace crackdepth
