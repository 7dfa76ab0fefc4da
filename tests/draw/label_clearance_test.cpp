// No text of a display is printed over another text or over the display's own lines (frame,
// axes, ticks, arrowheads): crowded labels are thinned out or shrunk to their column, axis
// titles sit clear of the ticks, and the wave train's title stays legible over its top trace.
// Each display is recorded with awkward inputs: long axes, four- and five-digit distances,
// low rows, short and narrow plots, extreme zooms.
#include "draw/distance_time_plot.h"
#include "draw/wave_train.h"
#include "draw/waveform_display.h"
#include "draw/waveform_parts.h"
#include "image_support.h"
#include "recording_device.h"
#include "waveform_test_support.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace crackdepth::draw {
namespace {

using testing::Recording;
using testing::RecordingDevice;
using testing_support::burst;

Recording record(QSize size, const std::function<void(QPainter&, const QRectF&)>& draw) {
    RecordingDevice device(size);
    QPainter painter(&device);
    draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return device.recording;
}

// The pixels a one-pixel line covers: right of and below its coordinates.
QRectF pixelsOf(const QLineF& line) {
    return {std::min(line.x1(), line.x2()), std::min(line.y1(), line.y2()), std::abs(line.dx()) + 1,
            std::abs(line.dy()) + 1};
}

// Every text keeps a pixel clear of every other text and of every black line (the data
// drawn here is in colour).
void expectTextsClear(const Recording& recording) {
    ASSERT_FALSE(recording.texts.empty());
    const auto around = [](const QRectF& ink) { return ink.adjusted(-0.5, -0.5, 0.5, 0.5); };
    for (std::size_t i = 0; i < recording.texts.size(); ++i) {
        const auto& text = recording.texts[i];
        for (std::size_t j = i + 1; j < recording.texts.size(); ++j) {
            const auto& other = recording.texts[j];
            EXPECT_FALSE(around(text.ink).intersects(other.ink))
                << '"' << text.text.toStdString() << "\" over \"" << other.text.toStdString()
                << '"';
        }
        for (const auto& line : recording.lines) {
            if (line.color == kInkColor) {
                EXPECT_FALSE(around(text.ink).intersects(pixelsOf(line.line)))
                    << '"' << text.text.toStdString() << "\" on a line at (" << line.line.x1()
                    << ", " << line.line.y1() << ")–(" << line.line.x2() << ", " << line.line.y2()
                    << ')';
            }
        }
    }
}

TEST(LabelClearance, TraceLabelsAndTitles) {
    const auto ringing = burst(512, 90, 1500);
    const auto small = burst(512, 90, 40);
    const auto long_ = burst(262144, 9000, 1500);
    struct Case {
        const char* name;
        QSize size;
        const std::vector<Sample>* samples;
        float zoom, gain, delay;
    };
    const Case cases[] = {
        {"plain", {900, 300}, &ringing, 1, 20, 12},
        {"labels right of the axis", {900, 300}, &ringing, 0.01f, 1, 12},
        {"four-digit labels", {900, 300}, &ringing, 1, 0.5f, 12},
        {"three-digit labels", {900, 300}, &small, 1, 0.05f, 0},
        {"zoomed in", {900, 300}, &ringing, 12.5f, 20, 12},
        {"short plot", {900, 90}, &ringing, 1, 20, 12},
        {"narrow plot", {180, 300}, &ringing, 1, 20, 1234},
        {"late start", {900, 300}, &ringing, 1, 20, 97.5f},
        {"262,144 samples", {900, 300}, &long_, 1, 20, 12},
        {"262,144 samples, wide", {1900, 300}, &long_, 1, 20, 12},
        {"262,144 samples, narrow", {300, 300}, &long_, 1, 20, 0},
        {"262,144 samples, late start", {1250, 300}, &long_, 1, 20, 99999.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceInput input = testing_support::traceOf(*c.samples);
        input.amplitudeZoom = c.zoom;
        input.gain = c.gain;
        input.delay = c.delay;
        expectTextsClear(
            record(c.size, [&](QPainter& p, const QRectF& r) { drawTrace(p, r, input, {}); }));
    }
}

// The longest waveforms the files hold, over every sampling interval the instrument offers and
// the widths a view takes: the time axis runs to six-digit labels, however crowded its ticks.
TEST(LabelClearance, LongWaveformTimeAxesOverEverySamplingInterval) {
    const auto long_ = burst(262144, 9000, 1500);
    for (const float dt : {0.05f, 0.1f, 0.2f, 0.4f, 0.5f, 0.8f, 1.0f, 2.0f, 5.0f, 10.0f}) {
        for (const int width : {260, 480, 900, 1333, 1900}) {
            SCOPED_TRACE(::testing::Message() << "dt " << dt << " width " << width);
            TraceInput trace = testing_support::traceOf(long_);
            trace.dt = dt;
            trace.delay = 3.5f;
            const Recording drawn = record(
                {width, 300}, [&](QPainter& p, const QRectF& r) { drawTrace(p, r, trace, {}); });
            expectTextsClear(drawn);
            // Readable as numbers, not only apart: labels of one row keep a space between
            // them, and the ticks of the time axis stay distinct marks.
            for (const auto& a : drawn.texts) {
                for (const auto& b : drawn.texts) {
                    const bool sameRow =
                        a.ink.top() < b.ink.bottom() && b.ink.top() < a.ink.bottom();
                    if (&a != &b && sameRow && a.ink.right() <= b.ink.left()) {
                        EXPECT_GE(b.ink.left() - a.ink.right(), 4)
                            << '"' << a.text.toStdString() << "\" and \"" << b.text.toStdString()
                            << "\" run together";
                    }
                }
            }
            std::vector<double> tickXs;
            for (const auto& line : drawn.lines) {
                if (line.color == kInkColor && line.line.dx() == 0 &&
                    std::abs(line.line.dy()) == parts::kTickLength && line.line.y1() > 150) {
                    tickXs.push_back(line.line.x1());
                }
            }
            std::sort(tickXs.begin(), tickXs.end());
            ASSERT_FALSE(tickXs.empty());
            for (std::size_t i = 1; i < tickXs.size(); ++i) {
                EXPECT_GE(tickXs[i] - tickXs[i - 1], 3) << "ticks at " << tickXs[i];
            }
        }
    }
}

// A damaged file can give times far beyond a 64-bit integer: the time axis still labels its
// ticks with their own values, whole numbers of the axis's unit, never a wrapped integer.
TEST(LabelClearance, HugeTimesOfADamagedFileAreLabelledWithTheirValues) {
    const auto samples = burst(512, 90, 1500);
    struct Case {
        float delay, dt;
    };
    for (const Case c : {Case{1e30f, 1e28f}, Case{-1e25f, 1e23f}, Case{3e19f, 1e17f}}) {
        SCOPED_TRACE(::testing::Message() << "delay " << c.delay << " dt " << c.dt);
        TraceInput input = testing_support::traceOf(samples);
        input.delay = c.delay;
        input.dt = c.dt;
        const Recording drawn =
            record({900, 300}, [&](QPainter& p, const QRectF& r) { drawTrace(p, r, input, {}); });
        const double start = static_cast<double>(c.delay);
        const double end = start + static_cast<double>(c.dt) * 512;
        int timeLabels = 0;
        for (const auto& text : drawn.texts) {
            bool whole = false;
            const double value = text.text.toDouble(&whole);
            if (!whole || text.ink.top() < 150 || std::abs(value) < std::abs(start) / 2) {
                continue; // an amplitude label or the title
            }
            ++timeLabels;
            EXPECT_GE(value, start * (1 + 1e-6 * (start < 0 ? 1 : -1))) << text.text.toStdString();
            EXPECT_LE(value, end + std::abs(end) * 1e-2) << text.text.toStdString();
        }
        EXPECT_GE(timeLabels, 2);
    }
}

TEST(LabelClearance, SpectrumLabelsAndTitles) {
    const auto ringing = burst(512, 90, 1500);
    struct Case {
        QSize size;
        std::int32_t refine;
        float dt;
    };
    const Case cases[] = {{{1075, 300}, 5, 0.5f}, {{1275, 300}, 5, 0.5f}, {{700, 300}, 1, 0.5f},
                          {{700, 300}, 32, 0.1f}, {{300, 200}, 5, 0.5f},  {{900, 70}, 5, 2.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.size.width() << " refine " << c.refine);
        SpectrumInput input;
        input.spectrum = Spectrum(ringing, 512, c.dt, c.refine);
        input.refine = c.refine;
        input.dt = c.dt;
        expectTextsClear(
            record(c.size, [&](QPainter& p, const QRectF& r) { drawSpectrum(p, r, input, {}); }));
    }
}

TEST(LabelClearance, DistanceTimePlotLabelsAndTitles) {
    struct Case {
        const char* name;
        DistanceAxis axis;
        std::int32_t rowHeight; // 0: fitted to the rectangle
        QSize size;
    };
    const Case cases[] = {
        {"demo line", {50, 50, 350}, 22, {600, 400}},
        {"1000 points of 50 mm, rows fitted", {50, 50, 50000}, 0, {600, 900}},
        {"1000 points, 5 px rows", {50, 50, 50000}, 5, {600, 900}},
        {"four-digit distances", {1000, 500, 9500}, 22, {600, 400}},
        {"four-digit distances, low rows", {100, 100, 9900}, 3, {600, 400}},
        {"narrow", {50, 50, 350}, 22, {150, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlotInput input;
        input.axis = c.axis;
        input.rowHeight = c.rowHeight;
        input.fitRowHeight = c.rowHeight == 0;
        input.points = {{80, c.axis.topDistance}}; // for the time axis; no black joins
        input.fit = LineFit{-10, 4};
        expectTextsClear(record(
            c.size, [&](QPainter& p, const QRectF& r) { drawDistanceTimePlot(p, r, input, {}); }));
    }
}

// A crossing line of `count` flat points `step` mm apart from `first`: orange traces, which
// labels need not avoid.
struct FlatLine {
    std::vector<Sample> samples = std::vector<Sample>(200, kZeroLine);
    WaveTrainInput input;

    FlatLine(int count, float first, float step) {
        for (int i = 0; i < count; ++i) {
            input.traces.push_back({samples, first + step * static_cast<float>(i), 50, 0});
        }
        input.sampleCount = 200;
        input.crossingLine = true;
    }
};

TEST(LabelClearance, WaveTrainLabels) {
    struct Case {
        const char* name;
        int count;
        float first, step;
        std::int32_t rowHeight;
    };
    const Case cases[] = {
        {"demo line", 9, 50, 50, 22},
        {"four-digit distances", 12, 1000, 750, 22},
        {"five-digit distances, low rows", 200, 10000, 250, 4},
        {"rows lower than a pixel's worth of text", 1000, 50, 50, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatLine line(c.count, c.first, c.step);
        line.input.rowHeight = c.rowHeight;
        expectTextsClear(record({500, 300}, [&](QPainter& p, const QRectF& r) {
            drawWaveTrain(p, r, line.input, {});
        }));
        for (const WaveTrainPictureLayout* layout : {&kBitmapPageLayout, &kPrinterPageLayout}) {
            const QSize size = layout == &kBitmapPageLayout ? QSize(900, 700) : QSize(4000, 3000);
            expectTextsClear(record(size, [&](QPainter& p, const QRectF& r) {
                WaveTrainPicture(p, r.toRect(), line.input, 0, std::min(c.count, 25) - 1, *layout,
                                 {});
            }));
        }
    }
}

TEST(LabelClearance, WaveTrainTitleStaysLegibleOverTheTopTrace) {
    // The top trace swings at once: under the title and far above and below its centre line.
    std::vector<Sample> swinging(200, kZeroLine);
    for (std::size_t k = 0; k < 40; ++k) {
        swinging[k] = static_cast<Sample>(k % 4 < 2 ? 4000 : 100);
    }
    FlatLine flat(4, 50, 50);
    flat.input.rowHeight = 22;
    FlatLine swing(4, 50, 50);
    swing.input.rowHeight = 22;
    swing.input.traces.back().samples = swinging; // the last point is the top row
    const auto render = [](const WaveTrainInput& input) {
        QImage image(500, 120, QImage::Format_RGB32);
        QPainter painter(&image);
        drawWaveTrain(painter, image.rect(), input, {});
        return image;
    };
    const QImage calm = render(flat.input);
    const QImage busy = render(swing.input);
    const Recording titles = record(
        {500, 120}, [&](QPainter& p, const QRectF& r) { drawWaveTrain(p, r, swing.input, {}); });
    const auto title = std::find_if(titles.texts.begin(), titles.texts.end(),
                                    [](const auto& t) { return t.text == "L(mm)"; });
    ASSERT_NE(title, titles.texts.end());
    const QRect box = title->ink.toAlignedRect();
    EXPECT_EQ(busy.copy(box), calm.copy(box));
    EXPECT_GT(testing::differingPixels(busy, calm), 200) << "the trace does swing";
}

} // namespace
} // namespace crackdepth::draw
