#include "core/signal/spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

namespace crackdepth {
namespace {

// round(2048 + dc + Σ amplitude · sin(2π · cycles · i)), `cycles` per sample.
struct Tone {
    double cycles;
    double amplitude;
};

std::vector<Sample> tones(std::size_t n, std::initializer_list<Tone> parts, double dc = 0) {
    std::vector<Sample> samples(n);
    for (std::size_t i = 0; i < n; ++i) {
        double v = 2048.0 + dc;
        for (const Tone& t : parts) {
            v += t.amplitude * std::sin(2.0 * std::numbers::pi * t.cycles * static_cast<double>(i));
        }
        samples[i] = static_cast<Sample>(std::lround(v));
    }
    return samples;
}

// A tone that lands on `bin` once every `refine`-th sample is kept.
Tone onBin(double bin, std::int32_t refine, double amplitude = 1000) {
    return {bin / (512.0 * refine), amplitude};
}

TEST(Fft512, MatchesADirectTransform) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
    std::array<float, 512> re{};
    std::array<float, 512> im{};
    for (std::size_t i = 0; i < re.size(); ++i) {
        re[i] = value(random);
        im[i] = value(random);
    }
    std::vector<std::complex<double>> expected(512);
    double largest = 0;
    for (std::size_t k = 0; k < 512; ++k) {
        std::complex<double> sum;
        for (std::size_t j = 0; j < 512; ++j) {
            const double angle = -2.0 * std::numbers::pi * static_cast<double>(j * k % 512) / 512;
            sum += std::complex<double>(re[j], im[j]) * std::polar(1.0, angle);
        }
        expected[k] = sum;
        largest = std::max(largest, std::abs(sum));
    }
    fft512(re, im);
    for (std::size_t k = 0; k < 512; ++k) {
        EXPECT_NEAR(re[k], expected[k].real(), 1e-5 * largest) << k;
        EXPECT_NEAR(im[k], expected[k].imag(), 1e-5 * largest) << k;
    }
}

TEST(Fft512, DiracHasAFlatMagnitude) {
    for (const std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{300}}) {
        std::array<float, 512> re{};
        std::array<float, 512> im{};
        re[at] = 1.0f;
        fft512(re, im);
        for (std::size_t k = 0; k < 512; ++k) {
            // X_k = e^(−2πi·at·k/512)
            const double angle = -2.0 * std::numbers::pi * static_cast<double>(at * k % 512) / 512;
            EXPECT_NEAR(re[k], std::cos(angle), 1e-5) << at << ", " << k;
            EXPECT_NEAR(im[k], std::sin(angle), 1e-5) << at << ", " << k;
        }
    }
}

TEST(SpectrumPeak, LargestValueWithTheLowestIndexAmongEquals) {
    const struct {
        std::vector<float> values;
        std::int32_t peak;
    } cases[] = {
        {{1, 3, 3, 2}, 1}, {{0, 0, 0}, 0}, {{5}, 0}, {{4, 3}, 0},
        {{1, 2, 9}, 2},    {{9, 2, 9}, 0}, {{}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(peakIndex(c.values), c.peak) << ::testing::PrintToString(c.values);
    }
}

TEST(Spectrum, SinePeaksAtItsBinAtEveryRefinement) {
    const struct {
        std::int32_t refine;
        double bin;
        float dt;
        double dc;
    } cases[] = {
        {1, 17, 1.0f, 0},   {1, 17, 1.0f, 700},  // the mean is removed
        {1, 100, 0.5f, 0},  {3, 40, 0.8f, -300}, // 170 values: y₀, y₃, … y₅₀₇
        {5, 88, 0.8f, 0},   {32, 64, 0.5f, 0},   // 16 values: y₀, y₃₂, … y₄₈₀
        {32, 100, 0.1f, 0},
    };
    for (const auto& c : cases) {
        const auto samples = tones(512, {onBin(c.bin, c.refine)}, c.dc);
        const SpectrumResult result = Spectrum(samples, 512, c.dt, c.refine);
        EXPECT_EQ(result.peak, c.bin) << "refine " << c.refine << ", bin " << c.bin;
        EXPECT_EQ(result.bins[static_cast<std::size_t>(result.peak)], 466.0f);
        EXPECT_LE(*std::max_element(result.bins.begin(), result.bins.end()), 466.0f);
        EXPECT_GE(*std::min_element(result.bins.begin(), result.bins.end()), 0.0f);
    }
}

// A small bump on the zero line leaves the mean at 0, so only the values the decimation keeps
// can make a spectrum: y₀, y_A, … below 512 · A / A.
TEST(Spectrum, DecimationKeepsEveryRefineThValueOfTheFirst512) {
    const struct {
        std::int32_t refine;
        std::size_t bump; // index of a sample 100 above the zero line
        std::size_t n;
        bool seen;
    } cases[] = {
        {3, 507, 512, true},   {3, 510, 512, false}, {32, 479, 512, true},  {32, 480, 512, true},
        {32, 481, 512, false}, {1, 511, 512, true},  {1, 600, 1024, false},
    };
    for (const auto& c : cases) {
        std::vector<Sample> samples(c.n, kZeroLine);
        samples[c.bump] += 100;
        const SpectrumResult result =
            Spectrum(samples, static_cast<std::int32_t>(c.n), 1.0f, c.refine);
        const bool seen =
            std::any_of(result.bins.begin(), result.bins.end(), [](float v) { return v != 0.0f; });
        EXPECT_EQ(seen, c.seen) << "refine " << c.refine << ", bump at " << c.bump;
    }
}

TEST(Spectrum, RefinementIsLimitedTo1To32) {
    const auto samples = tones(512, {{0.03, 500}, {0.002, 700}});
    EXPECT_EQ(Spectrum(samples, 512, 0.5f, 0).bins, Spectrum(samples, 512, 0.5f, 1).bins);
    EXPECT_EQ(Spectrum(samples, 512, 0.5f, 40).bins, Spectrum(samples, 512, 0.5f, 32).bins);
    EXPECT_NE(Spectrum(samples, 512, 0.5f, 31).bins, Spectrum(samples, 512, 0.5f, 32).bins);
}

TEST(Spectrum, AntiAliasFilterStopsWhatLiesAboveItsCutOff) {
    // Equal tones at bin 20 and bin 240 (0.47 of the sampling rate; the cut-off is 0.4).
    const auto samples = tones(512, {onBin(20, 1), onBin(240, 1)});
    const SpectrumResult filtered = Spectrum(samples, 512, 1.0f, 1);
    EXPECT_EQ(filtered.peak, 20);
    EXPECT_LT(filtered.bins[240], 466.0f / 1000);
    // Without a usable interval the filter is skipped and both tones stand out.
    const SpectrumResult unfiltered = Spectrum(samples, 512, 0.0f, 1);
    EXPECT_GT(unfiltered.bins[240], 466.0f / 2);
    EXPECT_GT(unfiltered.bins[20], 466.0f / 2);

    // Near the cut-off the power follows the Butterworth response 1 / (1 + (f / fc)⁴), with
    // f the analogue frequency that the bilinear transform maps onto the bin.
    const SpectrumResult pair = Spectrum(tones(512, {onBin(20, 1), onBin(150, 1)}), 512, 1.0f, 1);
    ASSERT_EQ(pair.peak, 20);
    const double analogue = std::tan(std::numbers::pi * 150.0 / 512.0) / std::numbers::pi;
    const double gain = 1.0 / (1.0 + std::pow(analogue / 0.4, 4.0));
    EXPECT_NEAR(pair.bins[150] / 466.0, gain, 0.05 * gain);
}

TEST(Spectrum, ConstantOrEmptyWaveformHasNoSpectrum) {
    const std::vector<Sample> constant(512, 3000);
    const std::vector<Sample> empty;
    const struct {
        const char* name;
        std::span<const Sample> samples;
        std::int32_t n;
    } cases[] = {
        {"constant", constant, 512}, {"constant, short", std::span(constant).first(7), 7},
        {"no samples", empty, 512},  {"n = 0", constant, 0},
        {"n < 0", constant, -5},
    };
    for (const auto& c : cases) {
        const SpectrumResult result = Spectrum(c.samples, c.n, 0.5f, 5);
        EXPECT_EQ(result.peak, 0) << c.name;
        for (const float bin : result.bins) {
            ASSERT_EQ(bin, 0.0f) << c.name;
        }
    }
}

TEST(Spectrum, ShortWaveformIsPaddedAndOnlyTheFirstNSamplesCount) {
    // Exactly 300 samples: nothing may be read beyond them.
    const std::vector<Sample> exact = tones(300, {onBin(30, 1)}, 100);
    std::vector<Sample> longer = exact;
    longer.resize(512, 60000);
    const SpectrumResult result = Spectrum(exact, 300, 1.0f, 1);
    EXPECT_EQ(Spectrum(exact, 512, 1.0f, 1).bins, result.bins);  // n beyond the samples
    EXPECT_EQ(Spectrum(longer, 300, 1.0f, 1).bins, result.bins); // samples beyond n
    EXPECT_NE(Spectrum(longer, 512, 1.0f, 1).bins, result.bins);
    EXPECT_NEAR(result.peak, 30, 1);
}

} // namespace
} // namespace crackdepth
