#include "draw/waveform_readouts.h"
#include "draw/waveform_ticks.h"
#include "waveform_test_support.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <utility>
#include <vector>

namespace crackdepth::draw {
namespace {

using namespace testing_support;

// ---- Tick rules and sliders --------------------------------------------------------------

TEST(WaveformTicks, RoundUpAndRoundDownUseTheUnitOfTheValue) {
    struct Case {
        double v, up, down, unit;
    };
    for (const Case& c : std::vector<Case>{{100, 200, 100, 100},
                                           {1000, 1100, 1000, 100},
                                           {57.3, 60, 50, 10},
                                           {5.5, 6, 5, 1},
                                           {10, 20, 10, 10},
                                           {999.9, 1000, 900, 100},
                                           {1000.5, 2000, 1000, 1000},
                                           {123456, 124000, 123000, 1000},
                                           {2.5e6, 3e6, 2e6, 1e6},
                                           {1, 1, 1, 1},
                                           {0.3, 1, 1, 1},
                                           {-40, 1, 1, 1},
                                           {std::nan(""), 1, 1, 1}}) {
        SCOPED_TRACE(c.v);
        EXPECT_DOUBLE_EQ(roundUpTick(c.v).value, c.up);
        EXPECT_DOUBLE_EQ(roundDownTick(c.v).value, c.down);
        EXPECT_DOUBLE_EQ(roundUpTick(c.v).unit, c.unit);
    }
}

TEST(WaveformTicks, TimeTicksRunFromAboveTheDelayToTheRoundedEnd) {
    struct Case {
        float delay, dt;
        std::int32_t n;
        std::vector<double> ticks;
    };
    for (const Case& c :
         std::vector<Case>{{0, 0.5f, 512, {100, 200, 300}},     // end 256 rounds up to 300
                           {9.5f, 1, 50, {20, 30, 40, 50, 60}}, // 10 lies within 1 us of the delay
                           {10.4f, 0.8f, 512, {100, 200, 300, 400, 500}},
                           {0, 0.5f, 8, {1, 2, 3, 4, 5}}, // end 4 rounds up to 5 with unit 1
                           {0, std::nanf(""), 512, {}}}) {
        SCOPED_TRACE(c.delay);
        EXPECT_EQ(timeTickValues(c.delay, c.dt, c.n), c.ticks);
    }
}

TEST(WaveformTicks, AmplitudeTicksComeFromTheLargerExcursionTheZoomAndTheGain) {
    struct Case {
        std::int32_t excursion;
        float zoom, gain;
        std::optional<std::int64_t> top, half;
    };
    // 952 counts (sample 3000, or 1096) are trunc(952·2000/2048) = 929 mV before zoom and gain.
    for (const Case& c : std::vector<Case>{{952, 1, 1, 900, 450},
                                           {952, 0.01f, 1, 92000, 46000},
                                           {952, 0, 1, 92000, 46000}, // 0 counts as 0.01
                                           {952, 12.5f, 10, 7, 3},
                                           {952, 1, 0, 9, 4}, // gain 0 counts as 100
                                           {1048, 1, 1, 1000, 500},
                                           {0, 1, 1, std::nullopt, std::nullopt},
                                           {952, 1, -5, std::nullopt, std::nullopt}}) {
        SCOPED_TRACE(testing::Message() << c.excursion << " zoom " << c.zoom << " gain " << c.gain);
        const auto ticks = amplitudeTicks(c.excursion, c.zoom, c.gain);
        ASSERT_EQ(ticks.has_value(), c.top.has_value());
        if (ticks) {
            EXPECT_EQ(ticks->top, *c.top);
            EXPECT_EQ(ticks->half, *c.half);
        }
    }
}

TEST(WaveformTicks, FrequencyTicksUseRoundStepsKeptApart) {
    struct Case {
        double band, width;
        double step;
        int decimals;
    };
    for (const Case& c : std::vector<Case>{{200, 1100, 10, 0},
                                           {125, 1125, 10, 0},
                                           {7.8125, 1000, 0.5, 1},
                                           {200, 400, 50, 0},
                                           {0.3, 800, 0.02, 2}}) {
        SCOPED_TRACE(c.band);
        const FrequencyTicks ticks = frequencyTicks(c.band, c.width, 50);
        EXPECT_NEAR(ticks.step, c.step, 1e-12);
        EXPECT_EQ(ticks.decimals, c.decimals);
        ASSERT_FALSE(ticks.ticks.empty());
        EXPECT_LE(ticks.ticks.back().kHz, c.band + 1e-9);
        double previous = 0;
        for (const FrequencyTick& tick : ticks.ticks) {
            if (tick.labelled) {
                EXPECT_GE((tick.kHz - previous) * c.width / c.band, 50 - 1e-9);
                EXPECT_NEAR(std::remainder(tick.kHz, c.step), 0, 1e-9);
                previous = tick.kHz;
            }
        }
    }
    EXPECT_TRUE(frequencyTicks(0, 1000, 50).ticks.empty());
    EXPECT_TRUE(frequencyTicks(std::nan(""), 1000, 50).ticks.empty());
}

TEST(WaveformSliders, PositionsGiveZoomAndRefinement) {
    const std::vector<std::pair<int, float>> zooms{
        {100, 0.01f}, {99, 0.05f},      {80, 1.0f},  {70, 1.5f},  {69, 31 / 15.0f},
        {40, 4.0f},   {39, 61 / 12.0f}, {10, 7.5f},  {9, 9.1f},   {5, 9.5f},
        {4, 12.0f},   {0, 12.5f},       {-3, 12.5f}, {130, 0.01f}};
    for (const auto& [position, zoom] : zooms) {
        EXPECT_FLOAT_EQ(amplitudeZoomAt(position), zoom) << position;
    }
    EXPECT_FLOAT_EQ(amplitudeZoomAt(kZoomSliderStart), 1.0f);
    EXPECT_EQ(refinementAt(kRefineSliderStart), 5);
    EXPECT_EQ(refinementAt(1), 32);
    EXPECT_EQ(refinementAt(32), 1);
    EXPECT_EQ(refineSliderPositionOf(refinementAt(17)), 17);
}

// ---- Pointer geometry --------------------------------------------------------------------

TEST(WaveformTraceGeometry, PointerMapsToTheNearestScreenSample) {
    const auto samples = constant(512, kZeroLine);
    TraceInput input = traceOf(samples);
    input.delay = 7.5f;
    // 1024 px for 256 us: 4 px per us, so every position below is exact.
    const TraceGeometry g = traceGeometry(rectOf(1061, 400), input);
    ASSERT_DOUBLE_EQ(g.pxPerUs, 4);
    for (const std::int32_t i : {0, 1, 100, 333, 511}) {
        EXPECT_EQ(traceSampleAtX(g, input, traceSampleX(g, input, i)), i);
        EXPECT_NEAR(*traceTimeAtX(g, input, traceSampleX(g, input, i)), 7.5 + 0.5 * i, 1e-9);
    }
    // Halfway between two samples the later one is taken; beyond the ends the ends are.
    EXPECT_EQ(traceSampleAtX(g, input, traceSampleX(g, input, 41.5)), 42);
    EXPECT_EQ(traceSampleAtX(g, input, g.plot.left()), 0);
    EXPECT_EQ(traceSampleAtX(g, input, g.plot.right() + 50), 511);

    input.dt = 0;
    EXPECT_FALSE(traceSampleAtX(traceGeometry(rectOf(1061, 400), input), input, 300));
    EXPECT_TRUE(overPlot(rectOf(1175, 400), {300, kMargin + kTitleBarHeight + 1}));
    EXPECT_FALSE(overPlot(rectOf(1175, 400), {300, kMargin + kTitleBarHeight - 1}));
}

TEST(WaveformSpectrumGeometry, PointerMapsToBinsByWholePixels) {
    // Width 1075: the bins span 1050 px from x = 35.
    const SpectrumGeometry g = spectrumGeometry(rectOf(1075, 400));
    ASSERT_DOUBLE_EQ(g.curveLeft, kMargin + kAxisInset);
    ASSERT_DOUBLE_EQ(g.curveWidth, 1050);
    const std::vector<std::pair<double, std::int32_t>> cases{
        {35, 0}, {38, 0}, {39.9, 1}, {35 + 525, 128}, {35 + 1049, 255}, {0, 0}, {5000, 255}};
    for (const auto& [x, bin] : cases) {
        EXPECT_EQ(spectrumBinAtX(g, x), bin) << x;
    }
    for (const std::int32_t bin : {0, 17, 100, 255}) {
        EXPECT_EQ(spectrumBinAtX(g, std::round(spectrumBinX(g, bin))), bin);
    }
    EXPECT_FALSE(spectrumBinAtX(spectrumGeometry(rectOf(25, 400)), 20));
}

// ---- Read-outs ---------------------------------------------------------------------------

TEST(WaveformReadouts, TraceReadoutsDescribeTheArrivalOrTheHoveredSample) {
    QLocale::setDefault(QLocale(QLocale::German)); // a decimal comma must not leak in
    std::vector<Sample> samples = constant(512, kZeroLine);
    samples[50] = 2048 + 1024; // 1 V at gain 1
    samples[60] = 2048 - 512;
    TraceInput input = traceOf(samples);
    input.delay = 4.0f;
    input.gain = 0; // shown and scaled as 100
    input.arrivalIndex = 50;
    input.amplitudeIndex = 50;
    input.shift = 3;
    input.distance = 150;

    // T = (50 + 3)·0.5 + 4 = 30.5 us; 1 V / 100 = 10 mV; V = 150 / 30.5.
    EXPECT_EQ(traceReadouts(input, std::nullopt), QStringList({"Amp:100", "T:30.50us", "A:10.00mv",
                                                               "V:4.918km/s", "当前测距:150.0mm"}));
    // Screen sample 63 shows waveform sample 60 at 4 + 63·0.5 = 35.5 us.
    EXPECT_EQ(traceReadouts(input, 63), QStringList({"Amp:100", "T:35.50us", "A:-5.00mv",
                                                     "V:4.225km/s", "当前测距:150.0mm"}));
    // Before the shifted waveform starts there is no amplitude; at time 0 no velocity.
    input.delay = -1.0f;
    EXPECT_EQ(traceReadouts(input, 2)[1], "T:0.00us");
    EXPECT_EQ(traceReadouts(input, 2)[2], "A:0.00mv");
    EXPECT_EQ(traceReadouts(input, 2)[3], "V:--.--km/s");
    input.amplitudeIndex = 512; // one past the last sample
    EXPECT_EQ(traceReadouts(input, std::nullopt)[2], "A:0.00mv");

    // A suggestion adds its time, shifted as the arrival is: (57 + 3)·0.5 − 1 = 29 us, the
    // same while the pointer reads another sample.
    input.suggestionIndex = 57;
    for (const auto hover : {std::optional<std::int32_t>{}, std::optional<std::int32_t>{63}}) {
        const QStringList texts = traceReadouts(input, hover);
        ASSERT_EQ(texts.size(), 6);
        EXPECT_EQ(texts[5], "建议初至:29.00us");
        TraceInput without = input;
        without.suggestionIndex.reset();
        EXPECT_EQ(texts.mid(0, 5), traceReadouts(without, hover));
    }
    // A filtered trace states the delay its filter gives it, last.
    input.filterDelay = 4.996f;
    const QStringList filtered = traceReadouts(input, std::nullopt);
    ASSERT_EQ(filtered.size(), 7);
    EXPECT_EQ(filtered[6], "滤波延时:5.00us");
    QLocale::setDefault(QLocale::c());
}

TEST(WaveformReadouts, SpectrumReadoutsGiveRelativePowerAndTheBinsFrequency) {
    SpectrumInput input;
    input.spectrum.bins[40] = 466;
    input.spectrum.bins[20] = 116.5f;
    input.spectrum.peak = 40;
    input.refine = 5;
    input.dt = 0.5f; // bin 40: 40·1e6 / (512·5·0.5) Hz = 31.25 kHz
    EXPECT_EQ(spectrumReadouts(input, spectrumCursorBin(input)),
              QStringList({"PT:1.00", "Freq:31.25kHz", "频谱细化倍数:5"}));
    input.cursorBin = 20;
    EXPECT_EQ(spectrumReadouts(input, spectrumCursorBin(input)),
              QStringList({"PT:0.25", "Freq:15.62kHz", "频谱细化倍数:5"}));

    SpectrumInput silent; // a constant waveform: no power anywhere, no known sampling rate
    EXPECT_EQ(spectrumReadouts(silent, 10),
              QStringList({"PT:--.--", "Freq:--.--kHz", "频谱细化倍数:5"}));
}

TEST(WaveformReadouts, EveryReadoutFitsItsOwnSlot) {
    const QStringList five{"Amp:1000", "T:12345.67us", "A:-12345.67mv", "V:123.456km/s",
                           "当前测距:12345.6mm"};
    const QStringList six = QStringList(five) << "建议初至:12345.67us";
    const QStringList seven = QStringList(six) << "滤波延时:-12.34us";
    for (const auto& [width, texts] :
         std::vector<std::pair<double, QStringList>>{{250.0, five},
                                                     {480.0, five},
                                                     {800.0, five},
                                                     {1575.0, five},
                                                     {300.0, six},
                                                     {1000.0, six},
                                                     {350.0, seven},
                                                     {1200.0, seven}}) {
        SCOPED_TRACE(testing::Message() << width << " px, " << texts.size() << " read-outs");
        const QRectF bar(0, 0, width, kTitleBarHeight);
        const auto placed = layoutReadouts(bar, texts, QFont(QStringLiteral("Times New Roman")));
        ASSERT_EQ(placed.size(), static_cast<std::size_t>(texts.size()));
        for (std::size_t k = 0; k < placed.size(); ++k) {
            EXPECT_TRUE(bar.contains(placed[k].box));
            EXPECT_LE(QFontMetricsF(placed[k].font).horizontalAdvance(placed[k].text),
                      placed[k].box.width());
            if (k > 0) {
                EXPECT_LE(placed[k - 1].box.right(), placed[k].box.left());
            }
        }
        if (width >= 800) {
            for (std::size_t k = 0; k < placed.size(); ++k) {
                EXPECT_EQ(placed[k].text, texts[static_cast<qsizetype>(k)]) << "nothing elided";
            }
        }
    }
}

} // namespace
} // namespace crackdepth::draw
