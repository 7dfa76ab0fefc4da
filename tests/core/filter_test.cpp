#include "core/signal/filter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <vector>

namespace crackdepth {
namespace {

// round(dc + amplitude · sin(2π · f · t)) about the zero line, dt in us, f in Hz.
std::vector<Sample> sineWave(std::size_t n, float dt, double hz, double amplitude, double dc = 0) {
    std::vector<Sample> samples(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) * dt * 1e-6;
        const double v = 2048.0 + dc + amplitude * std::sin(2.0 * std::numbers::pi * hz * t);
        samples[i] = static_cast<Sample>(std::lround(v));
    }
    return samples;
}

// A decaying 60 kHz burst with a 3 kHz drift and deterministic noise: a waveform on which
// rounding between the two sections matters.
std::vector<Sample> burst(std::size_t n, float dt) {
    std::vector<Sample> samples(n);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = static_cast<double>(state >> 24) / 32.0 - 4.0;
        const double t = static_cast<double>(i) * dt * 1e-6;
        const double v =
            2048.0 + 900.0 * std::exp(-t / 200e-6) * std::sin(2.0 * std::numbers::pi * 60e3 * t) +
            300.0 * std::sin(2.0 * std::numbers::pi * 3e3 * t) + noise;
        samples[i] = static_cast<Sample>(std::lround(v));
    }
    return samples;
}

// The signal after the lead-in, filtered as FilterWaveform does it, but unconverted.
std::vector<float> filteredWork(const std::vector<Sample>& input, float dt, bool highPass,
                                float highPassHz, bool lowPass, float lowPassHz,
                                bool highPassFirst = false) {
    const auto q = static_cast<std::size_t>(leadInLength(dt));
    std::vector<float> work(q + input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        work[q + i] = static_cast<float>(input[i]) - 2048.0f;
    }
    buildLeadIn(std::span<const float>(work).subspan(q), std::span<float>(work).first(q));
    const double interval = dt / 1e6;
    const auto highPassWhole = static_cast<std::int32_t>(highPassHz);
    if (highPass && highPassFirst) {
        HighPassSection(work, interval, highPassWhole);
    }
    if (lowPass) {
        LowPassSection(work, interval, lowPassHz);
    }
    if (highPass && !highPassFirst) {
        HighPassSection(work, interval, highPassWhole);
    }
    return {work.begin() + static_cast<std::ptrdiff_t>(q), work.end()};
}

// The stored sample for a filtered value: nothing below the range, 16 bits above.
Sample stored(float value) {
    if (value < -2048.0f) {
        return 0;
    }
    return static_cast<Sample>((static_cast<std::int64_t>(value) + 2048) & 0xFFFF);
}

std::vector<Sample> storedAll(const std::vector<float>& values) {
    std::vector<Sample> samples;
    for (const float v : values) {
        samples.push_back(stored(v));
    }
    return samples;
}

std::vector<Sample> filter(const std::vector<Sample>& input, float dt, bool highPass,
                           float highPassHz, bool lowPass, float lowPassHz) {
    std::vector<Sample> output(input.size(), 0xBEEF);
    FilterWaveform(input, output, dt, highPass, highPassHz, lowPass, lowPassHz);
    return output;
}

TEST(FilterRounding, HalfAwayFromZeroAndSaturated) {
    const struct {
        double value;
        std::int32_t expected;
    } cases[] = {
        {2.5, 3},
        {-2.5, -3},
        {2.49, 2},
        {-2.49, -2},
        {0.0, 0},
        {-0.4, 0},
        {1e12, std::numeric_limits<std::int32_t>::max()},
        {-1e12, std::numeric_limits<std::int32_t>::min()},
        {std::nan(""), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roundHalfAway(c.value), c.expected) << c.value;
    }
}

TEST(FilterLeadIn, LengthIsFourTimesTenOverDtLimitedTo8To32) {
    const struct {
        float dt;
        std::int32_t length;
    } cases[] = {
        {0.5f, 80},
        {0.1f, 128},
        {2.0f, 32},
        {0.4f, 100},
        {0.3f, 128},
        {1.25f, 32},
        {1.0f, 40},
        {10.0f, 32},
        {0.0f, 128},
        {-1.0f, 128},
        {std::numeric_limits<float>::infinity(), 128},
        {std::numeric_limits<float>::quiet_NaN(), 128},
        {1e-30f, 128},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(leadInLength(c.dt), c.length) << c.dt;
    }
}

TEST(FilterLeadIn, ContinuesTheFittedTrendBackwardsWithinItsLimits) {
    const auto ramp = [](float start, float step, std::size_t n) {
        std::vector<float> v(n);
        for (std::size_t i = 0; i < n; ++i) {
            v[i] = start + step * static_cast<float>(i);
        }
        return v;
    };
    std::vector<float> flatThenJunk(40, 500.0f); // only the first 20 are fitted for 80
    for (std::size_t i = 20; i < flatThenJunk.size(); ++i) {
        flatThenJunk[i] = (i % 2 == 0) ? 3000.0f : -1000.0f;
    }
    const struct {
        const char* name;
        std::vector<float> signal;
        std::size_t length;
        double slope; // the slope the lead-in must follow
    } cases[] = {
        {"flat start", flatThenJunk, 80, 0.0},
        {"ramp", ramp(100, 3, 40), 80, 3.0},
        {"fall inside the limit", ramp(100, -63, 40), 32, -63.0},
        {"fall too steep: starts 2047 above", ramp(100, -70, 40), 32, -2047.0 / 32},
        {"rise too steep: starts 2048 below", ramp(100, 70, 40), 32, 2048.0 / 32},
        {"shorter than the fit", {10, 14}, 32, 4.0},
        {"one value: undefined slope", {10}, 32, 2048.0 / 32},
        {"first value rounded up", {10.5f, 10.5f, 10.5f}, 32, 0.0},
        {"first value rounded down", {-10.5f, -10.5f, -10.5f}, 32, 0.0},
        {"line from the rounded first value", ramp(10.4f, -0.2f, 8), 32, -0.2},
    };
    for (const auto& c : cases) {
        std::vector<float> leadIn(c.length, -9999.0f);
        buildLeadIn(c.signal, leadIn);
        const double first = roundHalfAway(c.signal[0]);
        for (std::size_t j = 0; j < c.length; ++j) {
            const double expected =
                roundHalfAway(first - c.slope * static_cast<double>(c.length - j));
            ASSERT_EQ(leadIn[j], expected) << c.name << ", j = " << j;
        }
    }
}

TEST(FilterLeadIn, SlopeOfALineAndOfTooFewValues) {
    EXPECT_FLOAT_EQ(leastSquaresSlope(std::vector<float>{1, 3, 5, 7}), 2.0f);
    EXPECT_FLOAT_EQ(leastSquaresSlope(std::vector<float>{4, 0, 4, 0}), -0.8f);
    EXPECT_EQ(leastSquaresSlope(std::vector<float>{7}), 1e10f);
    EXPECT_EQ(leastSquaresSlope(std::vector<float>{}), 1e10f);
}

// Both sections against the textbook form of the same designs, in double; the rounded
// outputs must agree. The low-pass keeps its first two values; the high-pass's second
// output takes x₀ where the recursion would take y₀, as the instrument does.
TEST(FilterSections, FirstOutputsMatchAHandComputation) {
    const std::vector<double> input{120, -40, 75, 300, -220, 10, 0, 55, -5, 90, 410, -333};
    const double interval = 0.5e-6;
    const double fs = 1.0 / interval;

    const struct {
        bool lowPass;
        double cutoff;
    } cases[] = {{true, 50e3}, {true, 200e3}, {false, 20e3}, {false, 150e3}};
    for (const auto& c : cases) {
        std::vector<double> y(input.size());
        if (c.lowPass) {
            const double wc = 2.0 * std::numbers::pi * c.cutoff;
            const double d = 4.0 * fs * fs + 2.0 * std::numbers::sqrt2 * wc * fs + wc * wc;
            const double b0 = wc * wc / d;
            const double a1 = (2.0 * wc * wc - 8.0 * fs * fs) / d;
            const double a2 = (4.0 * fs * fs - 2.0 * std::numbers::sqrt2 * wc * fs + wc * wc) / d;
            y[0] = input[0];
            y[1] = input[1];
            for (std::size_t i = 2; i < input.size(); ++i) {
                y[i] = b0 * (input[i] + 2 * input[i - 1] + input[i - 2]) - a1 * y[i - 1] -
                       a2 * y[i - 2];
            }
        } else {
            const double k = std::tan(std::numbers::pi * c.cutoff * interval);
            const double d = 1.0 + std::numbers::sqrt2 * k + k * k;
            const double b0 = 1.0 / d;
            const double a1 = 2.0 * (k * k - 1.0) / d;
            const double a2 = (1.0 - std::numbers::sqrt2 * k + k * k) / d;
            y[0] = b0 * input[0];
            y[1] = b0 * (input[1] - 2 * input[0]) - a1 * input[0];
            for (std::size_t i = 2; i < input.size(); ++i) {
                y[i] = b0 * (input[i] - 2 * input[i - 1] + input[i - 2]) - a1 * y[i - 1] -
                       a2 * y[i - 2];
            }
        }

        std::vector<float> data(input.begin(), input.end());
        if (c.lowPass) {
            LowPassSection(data, interval, static_cast<float>(c.cutoff));
        } else {
            HighPassSection(data, interval, static_cast<std::int32_t>(c.cutoff));
        }
        for (std::size_t i = 0; i < input.size(); ++i) {
            const double expected = c.lowPass && i < 2 ? input[i] : roundHalfAway(y[i]);
            EXPECT_EQ(data[i], expected)
                << (c.lowPass ? "low-pass " : "high-pass ") << c.cutoff << " Hz, i = " << i;
        }
    }
}

TEST(FilterSections, ZeroIntervalLeavesTheLowPassInputAlone) {
    std::vector<float> data{5, -7, 300, 2, 9};
    const std::vector<float> before = data;
    LowPassSection(data, 0.0, 50e3f);
    EXPECT_EQ(data, before);
}

TEST(FilterWaveform, BothFiltersOffReturnTheInputUnchanged) {
    const std::vector<Sample> input{0, 65535, 4096, 2048, 17, 4095, 30000, 1};
    EXPECT_EQ(filter(input, 0.5f, false, 20e3f, false, 50e3f), input);
    std::vector<Sample> none;
    FilterWaveform(none, none, 0.5f, true, 20e3f, true, 50e3f); // nothing to do, no access
}

TEST(FilterWaveform, ConstantWaveformPassesTheLowPassUnchanged) {
    for (const float dt : {0.5f, 0.1f, 2.0f}) {
        for (const Sample level : {Sample{2500}, Sample{0}, Sample{4095}, Sample{2048}}) {
            for (const std::size_t n : {std::size_t{512}, std::size_t{3}}) {
                const std::vector<Sample> input(n, level);
                EXPECT_EQ(filter(input, dt, false, 0, true, 50e3f), input)
                    << "dt " << dt << ", level " << level << ", n " << n;
            }
        }
    }
}

TEST(FilterWaveform, RunsTheChosenSectionsLowPassFirst) {
    const float dt = 0.5f;
    const std::vector<Sample> input = burst(1024, dt);
    // The fixture must tell the order apart.
    ASSERT_NE(storedAll(filteredWork(input, dt, true, 20e3f, true, 150e3f)),
              storedAll(filteredWork(input, dt, true, 20e3f, true, 150e3f, true)));

    const struct {
        bool highPass;
        float highPassHz;
        bool lowPass;
        float lowPassHz;
    } cases[] = {
        {true, 20e3f, false, 150e3f},
        {true, 20999.9f, false, 150e3f}, // the high-pass cut-off is truncated to 20999 Hz
        {false, 20e3f, true, 150e3f},
        {true, 20e3f, true, 150e3f},
    };
    for (const auto& c : cases) {
        const auto expected =
            storedAll(filteredWork(input, dt, c.highPass, c.highPassHz, c.lowPass, c.lowPassHz));
        EXPECT_EQ(filter(input, dt, c.highPass, c.highPassHz, c.lowPass, c.lowPassHz), expected)
            << c.highPass << c.highPassHz << c.lowPass;
    }
    // 20999.9 Hz and 20999 Hz give the same output, 21000 Hz does not.
    EXPECT_EQ(filter(input, dt, true, 20999.9f, false, 0),
              filter(input, dt, true, 20999, false, 0));
    EXPECT_NE(filter(input, dt, true, 20999.9f, false, 0),
              filter(input, dt, true, 21000, false, 0));
}

TEST(FilterWaveform, StoresValuesBelowTheRangeAsZeroAndWrapsAbove16Bits) {
    const auto step = [](Sample before, Sample after) {
        std::vector<Sample> v(600, before);
        std::fill(v.begin() + 200, v.end(), after);
        return v;
    };
    const float dt = 0.5f;
    const struct {
        const char* name;
        std::vector<Sample> input;
        bool highPass;
        float lowPassHz;        // 0: low-pass off
        std::int64_t low, high; // a filtered value + 2048 must fall in [low, high]
    } cases[] = {
        {"high-pass of a fall undershoots", step(4095, 0), true, 0, -1'000'000, -1},
        {"high-pass of a rise overshoots", step(0, 4095), true, 0, 4096, 65535},
        {"low-pass of a full-scale rise", step(0, 65535), false, 50e3f, 65536, 1'000'000},
    };
    for (const auto& c : cases) {
        const auto work =
            filteredWork(c.input, dt, c.highPass, 20e3f, c.lowPassHz > 0, c.lowPassHz);
        const auto hit = std::find_if(work.begin(), work.end(), [&](float v) {
            const auto level = static_cast<std::int64_t>(v) + 2048;
            return level >= c.low && level <= c.high;
        });
        ASSERT_NE(hit, work.end()) << c.name << ": the fixture misses the range";
        const auto output = filter(c.input, dt, c.highPass, 20e3f, c.lowPassHz > 0, c.lowPassHz);
        EXPECT_EQ(output, storedAll(work)) << c.name;
        const auto i = static_cast<std::size_t>(hit - work.begin());
        const auto level = static_cast<std::int64_t>(*hit) + 2048;
        EXPECT_EQ(output[i], level < 0 ? 0 : level % 65536) << c.name;
    }
}

TEST(FilterWaveform, PassesAndStopsTheRightFrequencies) {
    const float dt = 0.5f;
    const std::size_t n = 4096;
    const std::size_t measured = 2000; // whole periods of every frequency below
    const struct {
        const char* name;
        bool highPass;
        bool lowPass;
        double hz, amplitude, dc;
        double minRatio, maxRatio; // of the output's amplitude to the input's
        double offset;             // expected mean level about the zero line
    } cases[] = {
        {"10 kHz through a 50 kHz low-pass", false, true, 10e3, 1000, 300, 0.95, 1.02, 300},
        {"200 kHz through a 50 kHz low-pass", false, true, 200e3, 1000, 300, 0.0, 0.1, 300},
        {"100 kHz through a 20 kHz high-pass", true, false, 100e3, 800, 700, 0.95, 1.02, 0},
        {"1 kHz through a 20 kHz high-pass", true, false, 1e3, 1000, -500, 0.0, 0.02, 0},
    };
    for (const auto& c : cases) {
        const auto output = filter(sineWave(n, dt, c.hz, c.amplitude, c.dc), dt, c.highPass, 20e3f,
                                   c.lowPass, 50e3f);
        double low = 1e9;
        double high = -1e9;
        double sum = 0;
        for (std::size_t i = n - measured; i < n; ++i) {
            const double v = output[i] - 2048.0;
            low = std::min(low, v);
            high = std::max(high, v);
            sum += v;
        }
        const double ratio = (high - low) / 2.0 / c.amplitude;
        EXPECT_GE(ratio, c.minRatio) << c.name;
        EXPECT_LE(ratio, c.maxRatio) << c.name;
        EXPECT_NEAR(sum / measured, c.offset, 2.0) << c.name;
    }
}

} // namespace
} // namespace crackdepth
