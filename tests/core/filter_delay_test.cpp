// The delay of the filter on a known pulse: the one-way filter shifts the trace by the delay
// it states at the trace's main frequency, and the zero-phase filter does not shift it.
#include "core/signal/filter.h"
#include "core/signal/filter_delay.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace crackdepth {
namespace {

constexpr float kDt = 0.5f;        // us
constexpr std::size_t kN = 512;    // samples
constexpr std::size_t kOnset = 80; // first sample of the pulse

// A Hann-windowed burst of `cycles` periods at `hz`, starting at kOnset: a received pulse
// whose onset and main frequency are known.
std::vector<Sample> pulse(double hz, double cycles) {
    std::vector<Sample> samples(kN, 2048);
    const double length = cycles / hz / (kDt * 1e-6); // samples
    for (std::size_t i = kOnset; i < kN; ++i) {
        const double k = static_cast<double>(i - kOnset);
        if (k >= length) {
            break;
        }
        const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * k / length);
        const double v = 1200.0 * window * std::sin(2 * std::numbers::pi * hz * k * kDt * 1e-6);
        samples[i] = static_cast<Sample>(std::lround(2048.0 + v));
    }
    return samples;
}

// The shift of `shifted` against `reference` in samples at the cross-correlation's peak,
// placed between samples by a parabola.
double correlationLag(const std::vector<Sample>& reference, const std::vector<Sample>& shifted) {
    const auto correlation = [&](int lag) {
        double sum = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            const auto j = static_cast<std::int64_t>(i) + lag;
            if (j >= 0 && j < static_cast<std::int64_t>(shifted.size())) {
                sum += (reference[i] - 2048.0) * (shifted[static_cast<std::size_t>(j)] - 2048.0);
            }
        }
        return sum;
    };
    int best = 0;
    for (int lag = -60; lag <= 60; ++lag) {
        if (correlation(lag) > correlation(best)) {
            best = lag;
        }
    }
    const double before = correlation(best - 1);
    const double at = correlation(best);
    const double after = correlation(best + 1);
    return best + 0.5 * (before - after) / (before - 2 * at + after);
}

struct Setting {
    const char* name;
    bool highOn;
    float highKHz;
    bool lowOn;
    float lowKHz;
};

const Setting kSettings[] = {
    {"低通 50kHz", false, 20, true, 50},
    {"低通 100kHz", false, 20, true, 100},
    {"高通 20kHz, 低通 80kHz", true, 20, true, 80},
    {"高通 10kHz", true, 10, false, 50},
};

std::vector<Sample> filtered(const std::vector<Sample>& input, const Setting& s, bool zeroPhase) {
    std::vector<Sample> out(input.size());
    FilterWaveform(input, out, kDt, s.highOn, s.highKHz * 1000.0f, s.lowOn, s.lowKHz * 1000.0f,
                   zeroPhase);
    return out;
}

// The stated delay is what a cross-correlation measures, within half a sample; a 50 kHz
// low-pass delays a 50 kHz pulse by about 5 us, a 100 kHz one by about half of that.
TEST(FilterDelay, TheStatedDelayIsTheMeasuredShift) {
    const std::vector<Sample> input = pulse(50e3, 4);
    const auto frequency = mainFrequencyHz(input, kN, kDt);
    ASSERT_TRUE(frequency.has_value());
    EXPECT_NEAR(*frequency, 50e3, 2e3);
    for (const Setting& s : kSettings) {
        SCOPED_TRACE(s.name);
        const auto stated = filterPhaseDelayUs(kDt, s.highOn, s.highKHz * 1000.0f, s.lowOn,
                                               s.lowKHz * 1000.0f, *frequency);
        ASSERT_TRUE(stated.has_value());
        const double measured = correlationLag(input, filtered(input, s, false)) * kDt;
        EXPECT_NEAR(*stated, measured, kDt / 2) << "stated " << *stated << " us";
    }
    const auto at50 = filterPhaseDelayUs(kDt, false, 0, true, 50e3f, *frequency);
    const auto at100 = filterPhaseDelayUs(kDt, false, 0, true, 100e3f, *frequency);
    EXPECT_NEAR(*at50, 5.0, 0.6);
    EXPECT_NEAR(*at100, 2.5, 0.6);
}

// Forward and backward, the pulse keeps its place: no shift, and its onset (the first sample
// half way to its peak, a level the filter's smoothing of the first swing does not move)
// stays where it was, while the one-way filter moves it late.
TEST(FilterDelay, ZeroPhaseDoesNotMoveThePulse) {
    const auto onset = [](const std::vector<Sample>& samples) {
        int peak = 0;
        for (const Sample v : samples) {
            peak = std::max(peak, std::abs(v - 2048));
        }
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (std::abs(samples[i] - 2048) * 2 >= peak) {
                return static_cast<std::int64_t>(i);
            }
        }
        return std::int64_t{-1};
    };
    const std::vector<Sample> input = pulse(50e3, 4);
    for (const Setting& s : kSettings) {
        SCOPED_TRACE(s.name);
        const std::vector<Sample> twoWay = filtered(input, s, true);
        EXPECT_NEAR(correlationLag(input, twoWay), 0.0, 0.25);
        EXPECT_NEAR(static_cast<double>(onset(twoWay)), static_cast<double>(onset(input)), 2.0);
        if (s.lowOn) {
            EXPECT_GT(onset(filtered(input, s, false)), onset(input) + 4) << "one way: late";
        }
    }
}

TEST(FilterDelay, UndefinedWithoutAFrequencyOrInterval) {
    EXPECT_FALSE(filterPhaseDelayUs(0, false, 0, true, 50e3f, 50e3).has_value());
    EXPECT_FALSE(filterPhaseDelayUs(kDt, false, 0, true, 50e3f, 0).has_value());
    EXPECT_FALSE(filterPhaseDelayUs(kDt, false, 0, true, 50e3f, 1e6).has_value()) << "Nyquist";
    EXPECT_FALSE(mainFrequencyHz(std::vector<Sample>(kN, 2048), kN, kDt).has_value());
    EXPECT_EQ(*filterPhaseDelayUs(kDt, false, 0, false, 0, 50e3), 0.0f) << "no filter on";
}

} // namespace
} // namespace crackdepth
