// Repaint cost of the distance–time plot and the wave train for a long line (1000 points of
// 1024 samples) in a large window: every change of the current point repaints both, so a paint
// must stay well under a frame (16 ms). Each repaint rebuilds its input from the line (and the
// plot re-fits it), as the views do.
#include "core/analysis/fit.h"
#include "draw/distance_time_plot.h"
#include "draw/fonts.h"
#include "draw/wave_train.h"
#include "gui_bench_main.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace crackdepth;
using namespace crackdepth::draw;

constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int kPoints = 1000;
constexpr int kSamples = 1024;

// A non-crossing line 50 … 50 000 mm every 50 mm, each point a ringing pulse after its
// arrival and no delay, so that every trace is drawn in full (the costliest case).
PointList longLine() {
    PointList line;
    line.sampleCount = kSamples;
    std::vector<Sample> samples(kSamples);
    for (int i = 0; i < kPoints; ++i) {
        const double distance = 50.0 * (i + 1);
        const int arrival = 100 + (i % 200);
        for (int k = 0; k < kSamples; ++k) {
            const double t = k - arrival;
            const double v =
                t < 0 ? 0.0
                      : 1200.0 * std::exp(-t / 150.0) * std::sin(2 * std::numbers::pi * t / 24.0);
            samples[static_cast<std::size_t>(k)] =
                static_cast<Sample>(std::lround(2048.0 + v + 15.0 * std::sin(k * 1.3)));
        }
        line.Append(samples, static_cast<float>(distance));
        MeasuringPoint& point = line[static_cast<std::size_t>(i)];
        point.record.setSamplingInterval(0.5f);
        point.arrivalIndex = arrival;
        point.delay = 0;
    }
    line.minDelay = line.computeMinDelay();
    line.currentIndex = kPoints / 2;
    return line;
}

DistanceAxis axisOf() {
    return {50.0f, 50.0f, 50.0f * kPoints};
}

// The plot with the view's initial rows (22 px: 41 rows in view) or rows fitted to the pane
// (1 px: all 1000 in view).
void BM_DistanceTimePlot(benchmark::State& state) {
    PointList line = longLine();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const bool fitted = state.range(0) != 0;
    for (auto _ : state) {
        PlotInput input;
        input.fit = FitLine(line, RegressionMethod::Regression, {});
        input.points = plotPointsOf(line, {});
        input.currentIndex = line.currentIndex;
        input.axis = axisOf();
        input.rowHeight = fitted ? fitPlotRowHeight(kHeight, input.axis) : 22;
        QPainter painter(&image);
        drawDistanceTimePlot(painter, QRectF(0, 0, kWidth, kHeight), input, DisplayStyle{});
    }
    state.SetLabel(fitted ? "rows fitted" : "22 px rows");
}
BENCHMARK(BM_DistanceTimePlot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The line view's wave train, 22 px rows or rows fitted to the pane; the narrow pane
// (600 px) has more samples than pixels and draws envelopes.
void BM_WaveTrain(benchmark::State& state) {
    const PointList line = longLine();
    const int width = static_cast<int>(state.range(0));
    const bool fitted = state.range(1) != 0;
    QImage image(width, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        WaveTrainInput input = waveTrainInputOf(line, {}, false);
        input.rowHeight = fitted ? fitTrainRowHeight(kHeight, kPoints, 22) : 22;
        QPainter painter(&image);
        drawWaveTrain(painter, QRectF(0, 0, width, kHeight), input, DisplayStyle{});
    }
    state.SetLabel(fitted ? "rows fitted" : "22 px rows");
}
BENCHMARK(BM_WaveTrain)
    ->Args({kWidth, 0})
    ->Args({kWidth, 1})
    ->Args({600, 1})
    ->Unit(benchmark::kMillisecond);

// The report picture: one page's 29 points, or the whole line in one picture.
void BM_WaveTrainPicture(benchmark::State& state) {
    const PointList line = longLine();
    const auto last = static_cast<std::int32_t>(state.range(0)) - 1;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        const WaveTrainInput input = waveTrainInputOf(line, {}, true);
        QPainter painter(&image);
        WaveTrainPicture(painter, QRect(0, 0, kWidth, kHeight), input, 0, last, kBitmapPageLayout,
                         DisplayStyle{true, 1.0, {}});
    }
}
BENCHMARK(BM_WaveTrainPicture)->Arg(29)->Arg(kPoints)->Unit(benchmark::kMillisecond);

} // namespace

CRACKDEPTH_GUI_BENCHMARK_MAIN()
