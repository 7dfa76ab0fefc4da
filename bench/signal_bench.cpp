// The digital filter (both sections on) and the spectrum, per waveform, for the sample counts
// the instrument records.
#include "core/signal/filter.h"
#include "core/signal/spectrum.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

using namespace crackdepth;

namespace {

constexpr float kDt = 0.5f; // us

std::vector<Sample> waveform(std::size_t n) {
    std::vector<Sample> samples(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) * kDt * 1e-6;
        const double v = 2048.0 +
                         1500.0 * std::exp(-t / 300e-6) * std::sin(2.0 * 3.14159265 * 50e3 * t) +
                         200.0 * std::sin(2.0 * 3.14159265 * 2e3 * t);
        samples[i] = static_cast<Sample>(std::lround(v));
    }
    return samples;
}

void BM_FilterWaveform(benchmark::State& state) {
    const auto input = waveform(static_cast<std::size_t>(state.range(0)));
    std::vector<Sample> output(input.size());
    for (auto _ : state) {
        FilterWaveform(input, output, kDt, true, 20e3f, true, 150e3f);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Spectrum(benchmark::State& state) {
    const auto input = waveform(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        SpectrumResult result = Spectrum(input, static_cast<std::int32_t>(input.size()), kDt, 5);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_FilterWaveform)->Arg(512)->Arg(1024)->Arg(4096);
BENCHMARK(BM_Spectrum)->Arg(512)->Arg(1024)->Arg(4096);

BENCHMARK_MAIN();
