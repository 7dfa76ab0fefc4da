// The fit of the non-crossing line and the evaluation of a crossing line on lines of up to
// 65,535 points: the cost must grow linearly with the number of points.
#include "core/analysis/crack_evaluation.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

using namespace crackdepth;

namespace {

// A line whose points lie on L = -10 + 4·T (non-crossing) or over a 120 mm crack.
PointList makeLine(std::int64_t count, bool crossing) {
    PointList line;
    line.sampleCount = 1;
    const std::vector<Sample> samples{kZeroLine};
    for (std::int64_t k = 0; k < count; ++k) {
        const float distance = 50.0f + static_cast<float>(k % 4000);
        line.Append(samples, distance);
        MeasuringPoint& point = *line.cursor();
        point.record.setSamplingInterval(0.1f);
        const float path = distance + 10.0f;
        const float time =
            crossing ? 2.0f * std::sqrt(path * path / 4.0f + 120.0f * 120.0f) / 4.0f : path / 4.0f;
        point.arrivalIndex = static_cast<std::int32_t>(time / 0.1f);
    }
    return line;
}

void BM_FitLineRegression(benchmark::State& state) {
    PointList line = makeLine(state.range(0), false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FitLine(line, RegressionMethod::Regression, {}));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FitLineRegression)->RangeMultiplier(4)->Range(1024, 65535)->Complexity(benchmark::oN);

void BM_FitLineTwoPoint(benchmark::State& state) {
    PointList line = makeLine(state.range(0), false);
    line.currentIndex = static_cast<std::int32_t>(state.range(0) - 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FitLine(line, RegressionMethod::TwoPoint, {}));
    }
}
BENCHMARK(BM_FitLineTwoPoint)->Arg(65535);

void BM_EvaluateCrack(benchmark::State& state) {
    PointList nonCrossing = makeLine(64, false);
    const auto fit = FitLine(nonCrossing, RegressionMethod::Regression, {});
    PointList line = makeLine(state.range(0), true);
    for (auto _ : state) {
        const CrackResult result = EvaluateCrack(line, fit, {}, {true, 7});
        benchmark::DoNotOptimize(result.crackDepth);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EvaluateCrack)->RangeMultiplier(4)->Range(1024, 65535)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
