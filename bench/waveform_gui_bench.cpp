// Repaint cost of the waveform view's two displays at a large window size: the pointer's
// hover line repaints the whole view at every move, so a paint must stay well under a frame
// (16 ms).
#include "core/signal/spectrum.h"
#include "draw/fonts.h"
#include "draw/waveform_display.h"
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
constexpr int kSliderWidth = 25; // the view keeps its slider outside the drawing

std::vector<Sample> ringingPulse(std::size_t n) {
    std::vector<Sample> samples(n, kZeroLine);
    for (std::size_t i = n / 8; i < n; ++i) {
        const double t = static_cast<double>(i - n / 8);
        const double v = 1500.0 * std::exp(-t / 600.0) * std::sin(2 * std::numbers::pi * t / 40) +
                         20.0 * std::sin(static_cast<double>(i) * 1.7);
        samples[i] = static_cast<Sample>(std::lround(2048.0 + v));
    }
    return samples;
}

TraceInput traceOf(const std::vector<Sample>& samples) {
    TraceInput input;
    input.samples = samples;
    input.sampleCount = static_cast<std::int32_t>(samples.size());
    input.dt = 0.5f;
    input.delay = 4.8f;
    input.gain = 10.0f;
    input.arrivalIndex = static_cast<std::int32_t>(samples.size() / 8);
    input.amplitudeIndex = input.arrivalIndex;
    input.distance = 150.0f;
    input.crossingLine = true;
    input.hoverX = kWidth / 2.0;
    return input;
}

const QRectF kRect(0, 0, kWidth - kSliderWidth, kHeight);

// The trace; n = 4096 draws the per-column envelope, n = 512 the plain polyline.
void BM_DrawTrace(benchmark::State& state) {
    const auto samples = ringingPulse(static_cast<std::size_t>(state.range(0)));
    const TraceInput input = traceOf(samples);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        drawTrace(painter, kRect, input, DisplayStyle{});
    }
    state.SetLabel("1600x900");
}
BENCHMARK(BM_DrawTrace)->Arg(4096)->Arg(512)->Unit(benchmark::kMillisecond);

// The spectrum drawing alone.
void BM_DrawSpectrum(benchmark::State& state) {
    const auto samples = ringingPulse(4096);
    SpectrumInput input;
    input.spectrum = Spectrum(samples, 4096, 0.5f, 5);
    input.dt = 0.5f;
    input.hoverX = kWidth / 2.0;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        drawSpectrum(painter, kRect, input, DisplayStyle{});
    }
}
BENCHMARK(BM_DrawSpectrum)->Unit(benchmark::kMillisecond);

// A whole repaint of the frequency display: the view recomputes the spectrum every time.
void BM_SpectrumRepaint(benchmark::State& state) {
    const auto samples = ringingPulse(4096);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        SpectrumInput input;
        input.spectrum = Spectrum(samples, 4096, 0.5f, 5);
        input.dt = 0.5f;
        QPainter painter(&image);
        drawSpectrum(painter, kRect, input, DisplayStyle{});
    }
}
BENCHMARK(BM_SpectrumRepaint)->Unit(benchmark::kMillisecond);

} // namespace

CRACKDEPTH_GUI_BENCHMARK_MAIN()
