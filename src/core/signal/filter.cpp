#include "core/signal/filter.h"

#include "core/common/conversions.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace crackdepth {
namespace {

// Constants of the low-pass design, kept to the digits the instrument uses.
constexpr double kPiSquared = 9.869604378534024;
constexpr double kTwoPiSquared = 19.73920875706805;
constexpr double kSqrt2Pi = 4.442882925626334689;

// Constants of the high-pass design.
constexpr double kPi = 3.14159265;
constexpr double kSqrt2 = 1.41421356;

// Lowest value a filtered sample keeps, relative to the zero line.
constexpr float kLowestLevel = -2048.0f;
// Largest excursion of the lead-in from the first sample: above, and below.
constexpr float kLeadInRise = 2047.0f;
constexpr float kLeadInFall = 2048.0f;

float rounded(double value) {
    return static_cast<float>(roundHalfAway(value));
}

} // namespace

std::int32_t roundHalfAway(double value) {
    if (value > 0) {
        return truncToInt32(value + 0.5);
    }
    if (value < 0) {
        return truncToInt32(value - 0.5);
    }
    return 0;
}

std::int32_t leadInLength(float dt) {
    std::int32_t factor = 32;
    if (dt > 0 && std::isfinite(dt)) {
        factor = std::clamp(truncToInt32(10.0f / dt), 8, 32);
    }
    return 4 * factor;
}

float leastSquaresSlope(std::span<const float> v) {
    float sumV = 0;
    float sumIV = 0;
    float sumII = 0;
    float sumI = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto fi = static_cast<float>(i);
        sumV += v[i];
        sumIV += fi * v[i];
        sumII += fi * fi;
        sumI += fi;
    }
    const auto count = static_cast<float>(v.size());
    const float den = count * sumII - sumI * sumI;
    if (std::fabs(den) > 1e-6f) {
        return (count * sumIV - sumI * sumV) / den;
    }
    return 1e10f;
}

void buildLeadIn(std::span<const float> signal, std::span<float> leadIn) {
    if (signal.empty()) {
        std::fill(leadIn.begin(), leadIn.end(), 0.0f);
        return;
    }
    const std::size_t length = leadIn.size();
    const std::size_t fitted = std::min(length / 4, signal.size());
    const auto q = static_cast<float>(length);
    float slope = leastSquaresSlope(signal.first(fitted));
    const float rise = -q * slope;
    if (rise > kLeadInRise) {
        slope = -kLeadInRise / q;
    } else if (rise < -kLeadInFall) {
        slope = kLeadInFall / q;
    }
    const float start = rounded(signal[0]);
    for (std::size_t j = 0; j < length; ++j) {
        leadIn[j] = rounded(start - slope * static_cast<float>(length - j));
    }
}

namespace {

// One run of the filters over centred values in place: the lead-in, the low-pass, then the
// high-pass; the lead-in is dropped again.
void filterPass(std::span<float> values, float dt, bool highPassOn, float highPassHz,
                bool lowPassOn, float lowPassHz) {
    const std::size_t n = values.size();
    const auto q = static_cast<std::size_t>(leadInLength(dt));
    std::vector<float> work(q + n);
    const std::span<float> signal = std::span<float>(work).subspan(q);
    std::copy(values.begin(), values.end(), signal.begin());
    buildLeadIn(signal, std::span<float>(work).first(q));

    const double interval = static_cast<double>(dt) / 1e6;
    if (lowPassOn) {
        LowPassSection(work, interval, lowPassHz);
    }
    if (highPassOn) {
        HighPassSection(work, interval, truncToInt32(highPassHz));
    }
    std::copy(signal.begin(), signal.end(), values.begin());
}

} // namespace

void FilterWaveform(std::span<const Sample> input, std::span<Sample> output, float dt,
                    bool highPassOn, float highPassHz, bool lowPassOn, float lowPassHz,
                    bool zeroPhase) {
    const std::size_t n = std::min(input.size(), output.size());
    if (n == 0) {
        return;
    }
    if (!highPassOn && !lowPassOn) {
        std::copy_n(input.begin(), n, output.begin());
        return;
    }
    std::vector<float> signal(n);
    for (std::size_t i = 0; i < n; ++i) {
        signal[i] = static_cast<float>(input[i]) - static_cast<float>(kZeroLine);
    }
    filterPass(signal, dt, highPassOn, highPassHz, lowPassOn, lowPassHz);
    if (zeroPhase) {
        // Run backwards over the forward result: the second run's delay undoes the first's.
        std::reverse(signal.begin(), signal.end());
        filterPass(signal, dt, highPassOn, highPassHz, lowPassOn, lowPassHz);
        std::reverse(signal.begin(), signal.end());
    }
    for (std::size_t i = 0; i < n; ++i) {
        const float value = std::max(signal[i], kLowestLevel);
        // Stored as a C program stores an int in 16 bits: modulo 65536.
        const std::int32_t whole = truncToInt32(value + static_cast<float>(kZeroLine));
        output[i] = static_cast<Sample>(static_cast<std::uint32_t>(whole));
    }
}

std::optional<SectionCoefficients> lowPassCoefficients(double intervalSeconds, float cutoffHz) {
    if (intervalSeconds == 0.0) {
        return std::nullopt;
    }
    const double fs = 1.0 / intervalSeconds;
    const double f = cutoffHz;
    const double g = kPiSquared * f * f;
    const double h = kSqrt2Pi * fs * f;
    const double den = g + fs * fs + h;
    if (den == 0.0) {
        return std::nullopt; // an infinite interval and a zero cut-off: no filter to speak of
    }
    return SectionCoefficients{(2.0 * fs * fs - kTwoPiSquared * f * f) / den,
                               (g + fs * fs - h) / den, g / den};
}

SectionCoefficients highPassCoefficients(double intervalSeconds, std::int32_t cutoffHz) {
    const double warped = std::tan(kPi * static_cast<double>(cutoffHz) * intervalSeconds);
    const double r = kSqrt2 * warped;
    const double den = warped * warped + r + 1.0;
    return {(2.0 - 2.0 * warped * warped) / den, (warped * warped + 1.0 - r) / den, 1.0 / den};
}

void LowPassSection(std::span<float> data, double intervalSeconds, float cutoffHz) {
    if (data.size() < 3) {
        return;
    }
    const auto section = lowPassCoefficients(intervalSeconds, cutoffHz);
    if (!section) {
        return;
    }
    const auto c1 = static_cast<float>(section->c1);
    const auto c2 = static_cast<float>(section->c2);
    const auto k = static_cast<float>(section->k);

    // The two previous inputs as they were, and the two previous outputs unrounded.
    float x2 = data[0];
    float x1 = data[1];
    float y2 = x2;
    float y1 = x1;
    for (std::size_t i = 2; i < data.size(); ++i) {
        const float x0 = data[i];
        const float y0 = c1 * y1 - c2 * y2 + k * (x0 + 2.0f * x1 + x2);
        data[i] = rounded(y0);
        x2 = x1;
        x1 = x0;
        y2 = y1;
        y1 = y0;
    }
}

void HighPassSection(std::span<float> data, double intervalSeconds, std::int32_t cutoffHz) {
    if (data.empty()) {
        return;
    }
    const SectionCoefficients section = highPassCoefficients(intervalSeconds, cutoffHz);
    const double k = section.k;
    const double c1 = section.c1;
    const double c2 = section.c2;

    float x2 = data[0];
    float y2 = static_cast<float>(k * x2);
    data[0] = rounded(y2);
    if (data.size() < 2) {
        return;
    }
    float x1 = data[1];
    float y1 = static_cast<float>(k * (x1 - 2.0f * x2) + c1 * x2);
    data[1] = rounded(y1);
    for (std::size_t i = 2; i < data.size(); ++i) {
        const float x0 = data[i];
        const auto y0 = static_cast<float>(c1 * y1 - c2 * y2 + k * (x0 - 2.0f * x1 + x2));
        data[i] = rounded(y0);
        x2 = x1;
        x1 = x0;
        y2 = y1;
        y1 = y0;
    }
}

} // namespace crackdepth
