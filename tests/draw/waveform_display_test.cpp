#include "core/analysis/transit_time.h"
#include "core/data/measurement_file.h"
#include "draw/waveform_display.h"
#include "draw/waveform_ticks.h"
#include "waveform_test_support.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <utility>
#include <vector>

namespace crackdepth::draw {
namespace {

using namespace testing_support;

// ---- Helpers ---------------------------------------------------------------------------

const QColor kOutside{1, 2, 3}; // fills the image around the drawing's rectangle

QImage render(const QRectF& rect, const std::function<void(QPainter&)>& draw) {
    QImage image(static_cast<int>(rect.width()) + 2 * kMargin,
                 static_cast<int>(rect.height()) + 2 * kMargin, QImage::Format_RGB32);
    image.fill(kOutside);
    QPainter painter(&image);
    draw(painter);
    EXPECT_FALSE(painter.hasClipping()) << "the painter's state was not restored";
    return image;
}

QImage renderTrace(const QRectF& rect, const TraceInput& input, const DisplayStyle& style = {}) {
    return render(rect, [&](QPainter& p) { drawTrace(p, rect, input, style); });
}

QImage renderSpectrum(const QRectF& rect, const SpectrumInput& input,
                      const DisplayStyle& style = {}) {
    return render(rect, [&](QPainter& p) { drawSpectrum(p, rect, input, style); });
}

bool same(QRgb pixel, const QColor& color) {
    return QColor(pixel) == color;
}

// Rows of column x (within the plot's interior) whose pixel has `color`.
std::vector<int> rowsOf(const QImage& image, const QRectF& plot, double x, const QColor& color) {
    std::vector<int> rows;
    for (int y = static_cast<int>(plot.top()) + 1; y < static_cast<int>(plot.bottom()) - 1; ++y) {
        if (same(image.pixel(static_cast<int>(x), y), color)) {
            rows.push_back(y);
        }
    }
    return rows;
}

// Every pixel of `color` inside `area`, as points.
std::vector<QPoint> pixelsOf(const QImage& image, const QRectF& area, const QColor& color) {
    std::vector<QPoint> found;
    for (int y = static_cast<int>(area.top()); y < static_cast<int>(area.bottom()); ++y) {
        for (int x = static_cast<int>(area.left()); x < static_cast<int>(area.right()); ++x) {
            if (same(image.pixel(x, y), color)) {
                found.emplace_back(x, y);
            }
        }
    }
    return found;
}

// Whether `area` holds text or lines: antialiased glyphs are seldom pure black.
bool hasInk(const QImage& image, const QRectF& area) {
    for (int y = static_cast<int>(area.top()); y < static_cast<int>(area.bottom()); ++y) {
        for (int x = static_cast<int>(area.left()); x < static_cast<int>(area.right()); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                return true;
            }
        }
    }
    return false;
}

// ---- The time display --------------------------------------------------------------------

// The rows the trace covers: its highest and its lowest.
std::pair<int, int> traceReach(const QImage& image, const QRectF& plot) {
    int highest = std::numeric_limits<int>::max();
    int lowest = std::numeric_limits<int>::min();
    for (const QPoint& p : pixelsOf(image, plot, kCrossingColor)) {
        highest = std::min(highest, p.y());
        lowest = std::max(lowest, p.y());
    }
    return {highest, lowest};
}

TEST(WaveformTrace, TheLargerHalfWaveSetsTheScaleAndNeitherIsCut) {
    // The larger excursion, peak or trough, reaches 5 px from the frame; the other one lies
    // in proportion. A trace that never leaves the zero line lies on it.
    const QRectF rect = rectOf(800, 310); // 290 px of plot: 140 px from the zero line to 5 px
    struct Case {
        const char* name;
        int peak, trough;    // counts above and below the zero line
        double above, below; // px from the zero line that they reach
    };
    const Case cases[] = {
        {"peak larger", 1500, 750, 140, 70},
        {"trough larger, as after an inversion", 800, 1500, 74.7, 140},
        {"only a trough", 0, 1000, 0, 140},
        {"neither", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto samples = constant(512, kZeroLine);
        samples[100] = static_cast<Sample>(kZeroLine + c.peak);
        samples[200] = static_cast<Sample>(kZeroLine - c.trough);
        const TraceInput input = traceOf(samples);
        const TraceGeometry g = traceGeometry(rect, input);
        ASSERT_EQ(g.middle - g.plot.top(), 145);
        const auto [highest, lowest] = traceReach(renderTrace(rect, input), g.plot);
        EXPECT_NEAR(g.middle - highest, c.above, 1);
        EXPECT_NEAR(lowest - g.middle, c.below, 1);
    }
}

TEST(WaveformTrace, AShiftMovesTheTraceAndLeavesUncoveredSamplesOnTheZeroLine) {
    const QRectF rect = rectOf(1575, 400); // three pixels per sample
    const auto samples = constant(512, 3000);
    for (const std::int32_t shift : {0, 10, 25, -10}) {
        SCOPED_TRACE(shift);
        TraceInput input = traceOf(samples);
        input.shift = shift;
        const TraceGeometry g = traceGeometry(rect, input);
        const QImage image = renderTrace(rect, input);
        const double high = g.plot.top() + kTraceMargin / 2; // where the waveform lies
        const double step = static_cast<double>(input.dt) * g.pxPerUs;
        const double first = traceSampleX(g, input, std::max(shift, 0));
        const double last = traceSampleX(g, input, 511 + std::min(shift, 0));
        for (const QPoint& p : pixelsOf(image, g.plot, kCrossingColor)) {
            if (p.x() < std::floor(first - step) || p.x() > std::ceil(last + step)) {
                ASSERT_EQ(p.y(), g.middle) << p.x();
            }
        }
        for (const double x : {std::round(first) + 1, std::round(last) - 1}) {
            const auto rows = rowsOf(image, g.plot, x, kCrossingColor);
            EXPECT_NE(std::find(rows.begin(), rows.end(), static_cast<int>(high)), rows.end()) << x;
        }
    }
}

TEST(WaveformTrace, TheCursorMarksTheFirstArrivalOrTheAxis) {
    const QRectF rect = rectOf(1000, 300);
    const auto samples = burst(512, 100, 1500);
    struct Case {
        std::int32_t arrival, shift;
        bool atAxis;
    };
    for (const Case& c : std::vector<Case>{{100, 0, false},
                                           {100, 7, false},
                                           {0, 0, false},
                                           {511, 0, false},
                                           {-1, 0, true},
                                           {512, 0, true},
                                           {600, -200, true}}) {
        SCOPED_TRACE(testing::Message() << c.arrival << " shift " << c.shift);
        TraceInput input = traceOf(samples);
        input.arrivalIndex = c.arrival;
        input.shift = c.shift;
        const TraceGeometry g = traceGeometry(rect, input);
        const double x =
            c.atAxis ? g.axisX : std::round(traceSampleX(g, input, c.arrival + c.shift));
        const QImage image = renderTrace(rect, input);
        const auto red = pixelsOf(image, g.plot, kCursorColor);
        ASSERT_FALSE(red.empty());
        for (const QPoint& p : red) {
            ASSERT_EQ(p.x(), x);
        }
        // Over the whole height, save where the trace crosses it.
        EXPECT_GE(static_cast<double>(rowsOf(image, g.plot, x, kCursorColor).size()),
                  g.plot.height() - 10);
    }
}

// The suggested first arrival: a dashed green line in the column the cursor would take for it,
// only where it differs from the pick, under the cursor.
TEST(WaveformTrace, TheSuggestionIsADashedGreenLineWhereItDiffersFromThePick) {
    const QRectF rect = rectOf(1000, 300);
    const auto samples = burst(512, 100, 1500);
    struct Case {
        std::optional<std::int32_t> suggestion;
        std::int32_t arrival, shift;
        bool drawn;
    };
    for (const Case& c : std::vector<Case>{{120, 100, 0, true},
                                           {120, 100, 7, true},
                                           {80, 100, -5, true},
                                           {100, 100, 0, false},
                                           {std::nullopt, 100, 0, false},
                                           {512, 100, 0, false},
                                           {-1, 100, 0, false}}) {
        SCOPED_TRACE(testing::Message() << c.suggestion.value_or(-99) << " shift " << c.shift);
        TraceInput input = traceOf(samples);
        input.arrivalIndex = c.arrival;
        input.shift = c.shift;
        input.suggestionIndex = c.suggestion;
        const TraceGeometry g = traceGeometry(rect, input);
        const QImage image = renderTrace(rect, input);
        const auto green = pixelsOf(image, g.plot, kSuggestionColor);
        EXPECT_EQ(!green.empty(), c.drawn);
        if (!c.drawn) {
            continue;
        }
        const double x = std::round(traceSampleX(g, input, *c.suggestion + c.shift));
        EXPECT_EQ(traceMarkerX(g, input, *c.suggestion), x);
        for (const QPoint& p : green) {
            ASSERT_EQ(p.x(), x);
        }
        // Dashed: over much of the height, with gaps a solid line would not leave.
        const auto rows = rowsOf(image, g.plot, x, kSuggestionColor);
        EXPECT_GT(static_cast<double>(rows.size()), g.plot.height() / 3);
        EXPECT_LT(static_cast<double>(rows.size()), g.plot.height() - 40);
        // The red cursor stays where it was.
        const double cursor = std::round(traceSampleX(g, input, c.arrival + c.shift));
        EXPECT_GE(static_cast<double>(rowsOf(image, g.plot, cursor, kCursorColor).size()),
                  g.plot.height() - 10);
    }
}

TEST(WaveformTrace, ZoomScalesTheTraceAboutTheZeroLineWithinThePlot) {
    const QRectF rect = rectOf(1000, 410);
    const auto samples = burst(512, 20, 1500);
    const double halfHeight = (390.0 - kTraceMargin) / 2; // the largest peak at zoom 1
    struct Case {
        float zoom;
        double lowest, highest; // reach of the trace above the zero line, in px
    };
    for (const Case& c : std::vector<Case>{{1, halfHeight - 1, halfHeight + 1},
                                           {0.01f, 0, halfHeight / 100 + 1},
                                           {12.5f, 194, 194}}) { // held inside the frame
        SCOPED_TRACE(c.zoom);
        TraceInput input = traceOf(samples);
        input.amplitudeZoom = c.zoom;
        const TraceGeometry g = traceGeometry(rect, input);
        double reach = 0;
        for (const QPoint& p : pixelsOf(renderTrace(rect, input), g.plot, kCrossingColor)) {
            ASSERT_GT(p.y(), g.plot.top());
            ASSERT_LT(p.y(), g.plot.bottom() - 1);
            reach = std::max(reach, g.middle - p.y());
        }
        EXPECT_GE(reach, c.lowest);
        EXPECT_LE(reach, c.highest);
    }
}

TEST(WaveformTrace, DenseTracesKeepEveryPeak) {
    // 4096 samples on about 1540 px: a lone one-sample spike must survive the envelope.
    auto samples = constant(4096, kZeroLine);
    samples[2049] = 4000;
    samples[100] = 3000;
    const QRectF rect = rectOf(1575, 400);
    const TraceInput input = traceOf(samples);
    const TraceGeometry g = traceGeometry(rect, input);
    const QImage image = renderTrace(rect, input);
    const auto spikeColumn = std::floor(traceSampleX(g, input, 2049));
    const auto rows = rowsOf(image, g.plot, spikeColumn, kCrossingColor);
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.front(), g.plot.top() + kTraceMargin / 2, 1); // the largest peak
    const auto smaller =
        rowsOf(image, g.plot, std::floor(traceSampleX(g, input, 100)), kCrossingColor);
    ASSERT_FALSE(smaller.empty());
    EXPECT_NEAR(g.middle - smaller.front(), (g.middle - rows.front()) * 952 / 1952, 1.5);
}

TEST(WaveformTrace, TimeTicksSitAtTheirTimesAndStopAtTheArrow) {
    const QRectF rect = rectOf(1175, 300);
    const auto samples = constant(512, kZeroLine);
    const TraceInput input = traceOf(samples); // 0 … 256 us: ticks at 100 and 200, 300 beyond
    const TraceGeometry g = traceGeometry(rect, input);
    const QImage image = renderTrace(rect, input);
    const auto inkAbove = [&](double x) {
        return same(image.pixel(static_cast<int>(x), static_cast<int>(g.middle) - 2), kInkColor);
    };
    EXPECT_TRUE(inkAbove(std::round(g.axisX + 100 * g.pxPerUs)));
    EXPECT_TRUE(inkAbove(std::round(g.axisX + 200 * g.pxPerUs)));
    EXPECT_FALSE(inkAbove(std::round(g.axisX + 150 * g.pxPerUs)));
}

TEST(WaveformTrace, AmplitudeLabelsTooWideForTheMarginMoveRightOfTheAxis) {
    const QRectF rect = rectOf(1000, 400);
    const auto samples = burst(512, 200, 900); // largest about 2948: U = 800 at zoom 1
    for (const float zoom : {1.0f, 0.01f}) {   // "-800" fits the margin, "-82000" does not
        SCOPED_TRACE(zoom);
        TraceInput input = traceOf(samples);
        input.amplitudeZoom = zoom;
        const TraceGeometry g = traceGeometry(rect, input);
        const QImage image = renderTrace(rect, input);
        // Below the axis's arrowhead and above the "0" label.
        const QRectF margin(g.plot.left() + 1, g.plot.top() + 12, kAxisInset - 2,
                            g.middle - 10 - (g.plot.top() + 12));
        const QRectF right(g.axisX + 6, g.middle - 100, 40, 80); // beside the axis, above 0
        EXPECT_EQ(hasInk(image, margin), zoom == 1.0f);
        EXPECT_EQ(hasInk(image, right), zoom != 1.0f);
    }
}

TEST(WaveformTrace, HoverDrawsAGreenLineAndReadsTheSampleUnderThePointer) {
    const QRectF rect = rectOf(1000, 300);
    const auto samples = burst(512, 100, 1500);
    TraceInput input = traceOf(samples);
    const TraceGeometry g = traceGeometry(rect, input);
    const QImage plain = renderTrace(rect, input);

    input.hoverX = 600;
    const QImage hovered = renderTrace(rect, input);
    EXPECT_GE(static_cast<double>(rowsOf(hovered, g.plot, 600, kHoverColor).size()),
              g.plot.height() - 10);
    EXPECT_EQ(pixelsOf(hovered, g.plot, kHoverColor).size(),
              rowsOf(hovered, g.plot, 600, kHoverColor).size());
    const QRect bar = g.titleBar.toRect();
    EXPECT_NE(plain.copy(bar), hovered.copy(bar)) << "the read-outs follow the pointer";

    for (const double outside : {g.plot.left() - 5, g.plot.right() + 3}) {
        input.hoverX = outside;
        EXPECT_EQ(renderTrace(rect, input), plain) << outside;
    }
}

TEST(WaveformTrace, RealPointReachesFivePixelsBelowTheTop) {
    MeasurementFile file;
    OpenFailure failure;
    ASSERT_TRUE(openMeasurementFile(CRACKDEPTH_EXAMPLES_DIR "/DEMO.DPA", file, failure));
    const LineData& line = file.lines.at(1);
    const MeasuringPoint& point = line.points[0];
    TraceInput input;
    input.samples = point.samples;
    input.sampleCount = line.header.sampleCount;
    input.dt = point.record.samplingInterval();
    input.delay = point.delay;
    input.gain = point.gain;
    input.arrivalIndex = point.arrivalIndex;
    input.shift = transitTime(point, 0, 0).shift;
    input.crossingLine = true;
    const QRectF rect = rectOf(1175, 400);
    const TraceGeometry g = traceGeometry(rect, input);
    const auto orange = pixelsOf(renderTrace(rect, input), g.plot, kCrossingColor);
    ASSERT_FALSE(orange.empty());
    int highest = std::numeric_limits<int>::max();
    for (const QPoint& p : orange) {
        highest = std::min(highest, p.y());
    }
    EXPECT_NEAR(highest, g.plot.top() + kTraceMargin / 2, 1);
}

// ---- The frequency display ---------------------------------------------------------------

SpectrumInput twoPeaks() {
    SpectrumInput input;
    input.spectrum.bins[100] = 466;
    input.spectrum.bins[50] = 233;
    input.spectrum.peak = 100;
    input.dt = 0.5f;
    input.crossingLine = true;
    return input;
}

TEST(WaveformSpectrum, BinsReachTheirLevelsAndTheCursorMarksTheChosenBin) {
    const QRectF rect = rectOf(1075, 400);
    const SpectrumGeometry g = spectrumGeometry(rect);
    for (const auto& cursor : std::vector<std::optional<std::int32_t>>{std::nullopt, 50}) {
        SpectrumInput input = twoPeaks();
        input.cursorBin = cursor;
        const QImage image = renderSpectrum(rect, input);
        const auto top = rowsOf(image, g.plot, std::round(spectrumBinX(g, 100)), kCrossingColor);
        const auto half = rowsOf(image, g.plot, std::round(spectrumBinX(g, 50)), kCrossingColor);
        // The cursor hides the curve in its own column, so look at the other bin.
        if (cursor) {
            ASSERT_FALSE(top.empty());
            EXPECT_EQ(top.front(), g.peakY);
        } else {
            ASSERT_FALSE(half.empty());
            EXPECT_EQ(half.front(), std::round(g.baseY - (g.baseY - g.peakY) / 2));
        }
        const double x = std::round(spectrumBinX(g, cursor.value_or(100)));
        const auto red = pixelsOf(image, g.plot, kCursorColor);
        ASSERT_FALSE(red.empty());
        for (const QPoint& p : red) {
            ASSERT_EQ(p.x(), x);
        }
    }
}

TEST(WaveformSpectrum, TheBinsSpanTheViewWidthLessFifty) {
    // The view is 1100 px wide, its slider takes 25: the drawing's 1075 px hold the 256 bins
    // on 1050 px from x = 25, so bin 128 lies at 25 + 525 and bin 192 at 25 + 787.5.
    const QRectF rect = rectOf(1075, 300);
    for (const auto& [bin, x] :
         std::vector<std::pair<std::int32_t, double>>{{128, 550}, {192, 813}}) {
        SpectrumInput input = twoPeaks();
        input.cursorBin = bin;
        const SpectrumGeometry g = spectrumGeometry(rect);
        const auto red = pixelsOf(renderSpectrum(rect, input), g.plot, kCursorColor);
        ASSERT_FALSE(red.empty());
        EXPECT_EQ(red.front().x(), kMargin + x) << bin;
    }
}

TEST(WaveformSpectrum, AnAllZeroSpectrumLiesOnTheBaseLine) {
    const QRectF rect = rectOf(800, 300);
    SpectrumInput input;
    input.crossingLine = true;
    const SpectrumGeometry g = spectrumGeometry(rect);
    const auto orange = pixelsOf(renderSpectrum(rect, input), g.plot, kCrossingColor);
    ASSERT_FALSE(orange.empty());
    for (const QPoint& p : orange) {
        ASSERT_EQ(p.y(), g.baseY);
    }
}

TEST(WaveformSpectrum, FrequencyTicksSitAtTheBinsRealFrequency) {
    const QRectF rect = rectOf(1075, 300);
    const SpectrumGeometry g = spectrumGeometry(rect);
    // Refinement 5: the 256 bins span 200 kHz at dt = 0.5 us and 400 kHz at dt = 0.25 us.
    for (const auto& [dt, share] :
         std::vector<std::pair<float, double>>{{0.5f, 0.5}, {0.25f, 0.25}}) {
        SCOPED_TRACE(dt);
        SpectrumInput input;
        input.dt = dt;
        input.cursorBin = 255; // out of the way
        const QImage image = renderSpectrum(rect, input);
        const auto inkAt = [&](double x, double above) {
            return qGray(image.pixel(static_cast<int>(x), static_cast<int>(g.baseY - above))) < 128;
        };
        const double at100kHz = std::round(g.curveLeft + share * g.curveWidth);
        EXPECT_TRUE(inkAt(at100kHz, 5)) << "a long, labelled tick";
        EXPECT_FALSE(inkAt(at100kHz + 2, 5));
        EXPECT_TRUE(hasInk(image, QRectF(at100kHz - 12, g.baseY + 2, 24, 10))) << "its label";
    }
}

// ---- Both displays -----------------------------------------------------------------------

TEST(WaveformDisplays, NothingIsDrawnOutsideTheRectangle) {
    auto samples = burst(4096, 0, 2000);
    for (const QRectF& rect : {rectOf(600, 250), rectOf(40, 30), rectOf(12, 8)}) {
        TraceInput trace = traceOf(samples);
        trace.shift = 100000;
        trace.arrivalIndex = 5;
        trace.amplitudeZoom = 12.5f;
        trace.hoverX = rect.right() - 2;
        SpectrumInput spectrum = twoPeaks();
        spectrum.cursorBin = 900;
        spectrum.hoverX = rect.left() + 30;
        DisplayStyle heavy;
        heavy.scale = 4;
        for (const QImage& image :
             {renderTrace(rect, trace, heavy), renderSpectrum(rect, spectrum, heavy)}) {
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (!rect.contains(QPointF(x + 0.5, y + 0.5))) {
                        ASSERT_TRUE(same(image.pixel(x, y), kOutside)) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(WaveformDisplays, MonochromeDrawsNoColourAndDashesTheCursor) {
    const QRectF rect = rectOf(900, 300);
    const auto samples = burst(512, 100, 1500);
    TraceInput trace = traceOf(samples);
    trace.arrivalIndex = 100;
    trace.hoverX = 500;
    trace.suggestionIndex = 130; // dotted, where the cursor is dashed
    SpectrumInput spectrum = twoPeaks();
    spectrum.hoverX = 500;
    DisplayStyle mono;
    mono.monochrome = true;
    for (const QImage& image :
         {renderTrace(rect, trace, mono), renderSpectrum(rect, spectrum, mono)}) {
        for (int y = kMargin; y < kMargin + 300; ++y) {
            for (int x = kMargin; x < kMargin + 900; ++x) {
                const QColor c = image.pixelColor(x, y);
                ASSERT_TRUE(c.red() == c.green() && c.green() == c.blue()) << x << "," << y;
            }
        }
    }
    // The dashed cursor leaves gaps that a solid line would not.
    const TraceGeometry g = traceGeometry(rect, trace);
    const double x = std::round(traceSampleX(g, trace, 100));
    const auto ink = rowsOf(renderTrace(rect, trace, mono), g.plot, x, kInkColor);
    EXPECT_GT(static_cast<double>(ink.size()), g.plot.height() / 3);
    EXPECT_LT(static_cast<double>(ink.size()), g.plot.height() - 10);
}

} // namespace
} // namespace crackdepth::draw
