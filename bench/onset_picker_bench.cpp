// The suggested first arrival: one 1,024-sample record, and every record of a file of 10 lines
// of 1,000 points each.
#include "../tests/core/onset_waveforms.h"
#include "core/analysis/onset_picker.h"

#include <benchmark/benchmark.h>
#include <vector>

using namespace crackdepth;
using namespace crackdepth::testing;

namespace {

std::vector<std::vector<Sample>> makeRecords(int count, std::size_t samples) {
    OnsetRandom random(42);
    std::vector<std::vector<Sample>> records;
    records.reserve(static_cast<std::size_t>(count));
    while (records.size() < static_cast<std::size_t>(count)) {
        OnsetWaveformSpec spec = randomOnsetSpec(random, 30);
        if (spec.count == samples) {
            records.push_back(makeOnsetWaveform(spec).samples);
        }
    }
    return records;
}

void BM_SuggestOnsetOneRecord(benchmark::State& state) {
    const std::vector<std::vector<Sample>> records = makeRecords(64, 1024);
    std::size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SuggestOnset(records[k]));
        k = (k + 1) % records.size();
    }
}
BENCHMARK(BM_SuggestOnsetOneRecord);

void BM_SuggestOnsetWholeFile(benchmark::State& state) {
    const std::vector<std::vector<Sample>> records = makeRecords(10 * 1000, 1024);
    for (auto _ : state) {
        int suggested = 0;
        for (const std::vector<Sample>& record : records) {
            suggested += SuggestOnset(record) ? 1 : 0;
        }
        benchmark::DoNotOptimize(suggested);
    }
}
BENCHMARK(BM_SuggestOnsetWholeFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
