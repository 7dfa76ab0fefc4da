// The four displays on any device: drawn at scale 4 and reduced four times, each is its screen
// drawing again, in the same places, with the same amount of ink and with its lines on the
// same pixels (up to where text and slanted lines are rasterised differently at the two sizes),
// so a printer page or a bitmap page gets the screen picture in proportion; and each is vector
// line art, which a printer or a PDF file keeps sharp.
#include "draw/distance_time_plot.h"
#include "draw/wave_train.h"
#include "draw/waveform_display.h"
#include "image_support.h"
#include "recording_device.h"
#include "waveform_test_support.h"

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace crackdepth::draw {
namespace {

using testing_support::burst;
using DrawFunction = std::function<void(QPainter&, const QRectF&, const DisplayStyle&)>;

struct Display {
    const char* name;
    QSize size; // at scale 1
    DrawFunction draw;
};

// Waveforms the displays below point into.
const std::vector<Sample>& ringing() {
    static const std::vector<Sample> samples = burst(512, 90, 1500);
    return samples;
}

TraceInput traceInput() {
    TraceInput input = testing_support::traceOf(ringing());
    input.delay = 12;
    input.gain = 20;
    input.arrivalIndex = 90;
    input.amplitudeIndex = 95;
    input.hoverX = 300.5;
    return input;
}

SpectrumInput spectrumInput() {
    SpectrumInput input;
    input.spectrum = Spectrum(ringing(), 512, 0.5f, 5);
    input.dt = 0.5f;
    input.crossingLine = true;
    input.hoverX = 200;
    return input;
}

PlotInput plotInput(std::int32_t rowHeight) {
    PlotInput input;
    input.axis = {50, 50, 450};
    for (int i = 0; i < 9; ++i) {
        input.points.push_back(
            {30.0f + 12.0f * static_cast<float>(i), 50.0f * static_cast<float>(i + 1)});
    }
    input.currentIndex = 3;
    input.fit = LineFit{-60, 4.2f};
    input.rowHeight = rowHeight;
    return input;
}

WaveTrainInput trainInput(std::int32_t rowHeight) {
    WaveTrainInput input;
    for (int i = 0; i < 6; ++i) {
        input.traces.push_back({ringing(), 100.0f * static_cast<float>(i + 1), 90, 4 * i});
    }
    input.currentIndex = 2;
    input.crossingLine = true;
    input.rowHeight = rowHeight;
    return input;
}

// The row height and the picture's layout are the caller's; at scale 4 they are given in the
// drawing's screen pixels as at scale 1, and the display scales them.
std::vector<Display> displays() {
    return {
        {"trace",
         {700, 260},
         [](QPainter& p, const QRectF& r, const DisplayStyle& s) {
             drawTrace(p, r, traceInput(), s);
         }},
        {"spectrum",
         {700, 260},
         [](QPainter& p, const QRectF& r, const DisplayStyle& s) {
             drawSpectrum(p, r, spectrumInput(), s);
         }},
        {"distance-time plot",
         {420, 300},
         [](QPainter& p, const QRectF& r, const DisplayStyle& s) {
             drawDistanceTimePlot(p, r, plotInput(28), s);
         }},
        {"wave train",
         {500, 300},
         [](QPainter& p, const QRectF& r, const DisplayStyle& s) {
             drawWaveTrain(p, r, trainInput(45), s);
         }},
        {"wave-train picture",
         {500, 300},
         [](QPainter& p, const QRectF& r, const DisplayStyle& s) {
             WaveTrainPicture(p, r.toRect(), trainInput(0), 1, 4, kBitmapPageLayout, s);
         }},
    };
}

QImage render(const Display& display, double scale, bool monochrome = false) {
    const QSize size = display.size * scale;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DisplayStyle style;
    style.scale = scale;
    style.monochrome = monochrome;
    display.draw(painter, QRectF(QPointF(0, 0), QSizeF(size)), style);
    return image;
}

// Pixels a drawing covered, in any colour: darker than white in some channel by a quarter.
bool inked(QRgb p) {
    return qRed(p) < 192 || qGreen(p) < 192 || qBlue(p) < 192;
}

int inkedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += inked(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// Inked pixels of `a` with no inked pixel within one pixel in `b`: a slanted line rasterised
// a pixel over does not count, a line, a tick or a text in another place or of another size
// does.
int unmatchedInk(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!inked(a.pixel(x, y))) {
                continue;
            }
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy) {
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const QPoint p(x + dx, y + dy);
                    found = b.rect().contains(p) && inked(b.pixel(p));
                }
            }
            count += found ? 0 : 1;
        }
    }
    return count;
}

// All the ink of a drawing, summed over its pixels and channels. Reducing by averaging keeps
// it, so a drawing in proportion has the same amount at every scale, and pens or fonts that
// did not grow with the scale would leave a quarter or a sixteenth of it.
double inkAmount(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum += 765 - qRed(p) - qGreen(p) - qBlue(p);
        }
    }
    return sum;
}

// Of the screen drawing's solid black pixels (lines, ticks, glyph stems), the share that are
// still nearly black in the other image: a line that straddles two pixel columns comes out as
// two grey ones.
double sharpShare(const QImage& screen, const QImage& other) {
    int black = 0;
    int kept = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if (qGray(screen.pixel(x, y)) < 32) {
                ++black;
                kept += qGray(other.pixel(x, y)) < 96 ? 1 : 0;
            }
        }
    }
    return black == 0 ? 0.0 : static_cast<double>(kept) / black;
}

TEST(DisplayScale, AtScale4ReducedEachDisplayIsItsScreenDrawing) {
    for (const Display& display : displays()) {
        for (const bool monochrome : {false, true}) {
            SCOPED_TRACE(::testing::Message() << display.name << (monochrome ? " monochrome" : ""));
            const QImage screen = render(display, 1, monochrome);
            const QImage reduced =
                render(display, 4, monochrome)
                    .scaled(display.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const int ink = inkedPixels(screen);
            ASSERT_GT(ink, 2000);
            const int misplaced = unmatchedInk(screen, reduced) + unmatchedInk(reduced, screen);
            EXPECT_LT(misplaced, ink / 50) << misplaced << " of " << ink;
            // Slanted lines are a little heavier at scale 4: their pen is as wide across the
            // line as along the axes, where the screen's one-pixel steps are thinner.
            EXPECT_NEAR(inkAmount(reduced) / inkAmount(screen), 1.0, 0.15);
            EXPECT_GT(sharpShare(screen, reduced), 0.75);
        }
    }
}

TEST(DisplayScale, EveryDisplayIsVectorLineArt) {
    for (const Display& display : displays()) {
        SCOPED_TRACE(display.name);
        testing::RecordingDevice device(display.size * 4);
        QPainter painter(&device);
        DisplayStyle style;
        style.scale = 4;
        display.draw(painter, QRectF(QPointF(0, 0), QSizeF(display.size * 4)), style);
        painter.end();
        EXPECT_EQ(device.recording.images, 0);
        EXPECT_FALSE(device.recording.texts.empty());
        EXPECT_FALSE(device.recording.lines.empty());
    }
}

} // namespace
} // namespace crackdepth::draw
