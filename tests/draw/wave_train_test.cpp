// The wave train, drawn into images: row order, alignment, amplitude scale, colours,
// envelopes, scrolling and the report picture's range and sizes; and the click, key and row-fit
// rules of its view.
#include "draw/wave_train.h"
#include "image_support.h"
#include "recording_device.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace crackdepth::draw {
namespace {

// A pane 450 px wide spreads 100 samples over 400 px: 4 px per sample from x = 25.
constexpr int kPaneWidth = 450;
constexpr int kSamples = 100;

std::vector<Sample> flat(int count = kSamples) {
    return std::vector<Sample>(static_cast<std::size_t>(count), kZeroLine);
}

std::vector<Sample> spike(int index, int height, int count = kSamples) {
    std::vector<Sample> samples = flat(count);
    samples[static_cast<std::size_t>(index)] = static_cast<Sample>(kZeroLine + height);
    return samples;
}

// Waveforms owned by the test, seen through a WaveTrainInput.
struct Line {
    std::vector<std::vector<Sample>> waves;
    std::int32_t sampleCount = kSamples;

    WaveTrainInput input(std::int32_t rowHeight) const {
        WaveTrainInput input;
        for (std::size_t i = 0; i < waves.size(); ++i) {
            input.traces.push_back({waves[i], 100.0f * static_cast<float>(i + 1), -1000, 0});
        }
        input.sampleCount = sampleCount;
        input.rowHeight = rowHeight;
        return input;
    }
};

QImage renderTrain(const WaveTrainInput& input, int height, const DisplayStyle& style = {}) {
    QImage image(kPaneWidth, height, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    drawWaveTrain(painter, QRectF(0, 0, kPaneWidth, height), input, style);
    return image;
}

bool isInk(QRgb p) {
    return qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) < 110;
}
bool isMarked(QRgb p) { // anything a trace draws, in any colour
    return p != QColor(Qt::white).rgb() && p != QColor(Qt::magenta).rgb();
}
bool isRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool isOrange(QRgb p) {
    return qRed(p) > 200 && qGreen(p) > 90 && qGreen(p) < 170 && qBlue(p) < 60;
}
bool isBlue(QRgb p) {
    return qBlue(p) > 200 && qRed(p) < 90 && qGreen(p) < 90;
}

using testing::countIn;
using testing::differingPixels;
using testing::RecordingDevice;

TEST(WaveTrainLayout, FirstPointAtTheBottomAndPeaksHalfARowHigh) {
    // Largest sample 3048: 40 px rows give 0.02 px per count, a +1000 peak rises 20 px.
    const Line line{{spike(10, 1000), spike(30, 1000), spike(50, 1000)}};
    const QImage image = renderTrain(line.input(40), 120);
    struct Case {
        int x;
        int centre;
    };
    const Case rows[] = {{25 + 4 * 10, 100}, {25 + 4 * 30, 60}, {25 + 4 * 50, 20}};
    for (const Case& row : rows) {
        EXPECT_TRUE(isInk(image.pixel(row.x, row.centre - 20))) << row.x;
        EXPECT_EQ(countIn(image, {row.x - 2, row.centre - 25, 5, 4}, isMarked), 0) << row.x;
        EXPECT_TRUE(isInk(image.pixel(row.x + 10, row.centre))) << "centre line " << row.x;
    }
}

TEST(WaveTrainLayout, TracesAreMovedByTheirOffset) {
    // A point 5 samples later than the line's smallest delay starts 5 samples later.
    Line line{{spike(30, 1000), spike(30, 1000)}};
    WaveTrainInput input = line.input(40);
    input.traces[1].offset = 5;
    const QImage image = renderTrain(input, 80);
    EXPECT_TRUE(isInk(image.pixel(25 + 4 * 30, 60 - 20)));
    EXPECT_TRUE(isInk(image.pixel(25 + 4 * 35, 20 - 20)));
    EXPECT_FALSE(isMarked(image.pixel(25 + 4 * 30, 20 - 18)));
}

TEST(WaveTrainLayout, OffsetComesFromDelayAndCorrections) {
    struct Case {
        float delay;
        float timeShift;
        TimeCorrections corrections;
        float dt;
        std::int32_t offset;
    };
    const Case cases[] = {
        {10, 0, {}, 0.5f, 0},
        {12.5f, 0, {}, 0.5f, 5},
        {12.7f, 0, {}, 0.5f, 5},
        {10, 1, {}, 0.5f, 2},
        {12.5f, 0, {0.5f, 0.25f}, 0.5f, 6},
        {10, -1.2f, {}, 0.5f, -2},
        {12.5f, 0, {}, 0.0f, 0},
    };
    for (const Case& c : cases) {
        MeasuringPoint point;
        point.delay = c.delay;
        point.timeShift = c.timeShift;
        point.record.setSamplingInterval(c.dt);
        EXPECT_EQ(traceOffsetOf(point, 10, c.corrections), c.offset) << c.delay << " " << c.dt;
    }
}

TEST(WaveTrainLayout, InputFollowsTheLine) {
    PointList line;
    line.sampleCount = 64;
    line.Append(spike(10, 500, 64), 50);
    line.Append(flat(64), 100);
    line.minDelay = 2;
    for (std::int32_t i = 0; i < 2; ++i) {
        MeasuringPoint& point = *line.PointAt(i);
        point.record.setSamplingInterval(0.5f);
        point.delay = 2.0f + static_cast<float>(i);
        point.arrivalIndex = 7 + i;
    }
    line.currentIndex = 1;
    const WaveTrainInput input = waveTrainInputOf(line, {}, true);
    ASSERT_EQ(input.traces.size(), 2u);
    EXPECT_EQ(input.traces[0].samples.data(), line[0].samples.data());
    EXPECT_EQ(input.traces[1].distance, 100);
    EXPECT_EQ(input.traces[1].arrivalIndex, 8);
    EXPECT_EQ(input.traces[0].offset, 0);
    EXPECT_EQ(input.traces[1].offset, 2);
    EXPECT_EQ(input.sampleCount, 64);
    EXPECT_EQ(input.currentIndex, 1);
    EXPECT_TRUE(input.crossingLine);
}

TEST(WaveTrainStyle, ColoursTellLineCurrentPointAndArrival) {
    const Line line{{spike(10, 1000), spike(10, 1000)}};
    struct Case {
        bool crossing;
        std::int32_t current;
        bool (*trace0)(QRgb);
        bool (*trace1)(QRgb);
    };
    const Case cases[] = {{false, -1, isInk, isInk},
                          {true, -1, isOrange, isOrange},
                          {false, 0, isRed, isInk},
                          {true, 1, isOrange, isRed}};
    for (const Case& c : cases) {
        WaveTrainInput input = line.input(40);
        input.crossingLine = c.crossing;
        input.currentIndex = c.current;
        input.traces[0].arrivalIndex = 80; // x = 345
        const QImage image = renderTrain(input, 80);
        EXPECT_TRUE(c.trace0(image.pixel(300, 60))) << c.crossing << c.current;
        EXPECT_TRUE(c.trace1(image.pixel(300, 20))) << c.crossing << c.current;
        // The arrival: blue over the middle third of point 0's row (centre 60, ±6 px).
        EXPECT_TRUE(isBlue(image.pixel(345, 60 - 5)));
        EXPECT_TRUE(isBlue(image.pixel(345, 60 + 5)));
        EXPECT_FALSE(isBlue(image.pixel(345, 60 - 9)));
        EXPECT_EQ(countIn(image, {0, 0, kPaneWidth, 40}, isBlue), 0) << "point 1 has none";
    }
}

TEST(WaveTrainStyle, MonochromeHasNoColour) {
    const Line line{{spike(10, 1000), spike(20, 800)}};
    WaveTrainInput input = line.input(40);
    input.crossingLine = true;
    input.currentIndex = 1;
    input.traces[0].arrivalIndex = 10;
    const QImage image = renderTrain(input, 80, DisplayStyle{true, 1.0, {}});
    EXPECT_EQ(countIn(image, image.rect(),
                      [](QRgb p) { return qRed(p) != qGreen(p) || qGreen(p) != qBlue(p); }),
              0);
    EXPECT_TRUE(isInk(image.pixel(25 + 40, 60 - 20)));
}

TEST(WaveTrainLayout, LineThatNeverRisesIsDrawnFlat) {
    std::vector<Sample> dips = flat();
    for (std::size_t k = 20; k < 60; ++k) {
        dips[k] = static_cast<Sample>(k * 20); // far below the zero line
    }
    const Line line{{dips}};
    const QImage image = renderTrain(line.input(40), 40);
    // Right of the "L(mm)" label: marks on the centre line only.
    EXPECT_EQ(countIn(image, {80, 0, 340, 40}, isMarked),
              countIn(image, {80, 20, 340, 1}, isMarked));
    EXPECT_GT(countIn(image, {80, 20, 340, 1}, isInk), 330);
}

TEST(WaveTrainLayout, MoreSamplesThanPixelsKeepsEveryExtreme) {
    // 4000 samples over 400 px: ten samples per column. A trace with a peak and a trough
    // inside every column (starting and ending on the zero line) must fill each column from
    // peak to trough, and a single-sample spike must not be lost.
    constexpr int count = 4000;
    std::vector<Sample> fast = flat(count);
    for (std::size_t k = 0; k < fast.size(); ++k) {
        if (k % 10 == 3) {
            fast[k] = kZeroLine + 1000;
        } else if (k % 10 == 6) {
            fast[k] = kZeroLine - 1000;
        }
    }
    Line line{{fast, spike(2005, 1000, count)}, count};
    const QImage image = renderTrain(line.input(60), 120); // ±30 px around centres 90 and 30
    int fullColumns = 0;
    for (int x = 27; x < 423; ++x) {
        fullColumns += isMarked(image.pixel(x, 61)) && isMarked(image.pixel(x, 119)) ? 1 : 0;
    }
    EXPECT_EQ(fullColumns, 423 - 27);
    EXPECT_TRUE(isMarked(image.pixel(225, 1)));
    EXPECT_EQ(countIn(image, {210, 0, 10, 28}, isMarked), 0);
    EXPECT_EQ(countIn(image, {231, 0, 10, 28}, isMarked), 0);
}

TEST(WaveTrainLayout, ScrollingMovesThePictureWithRowsOutOfView) {
    // Point 2 swings two rows down: with its own row scrolled away it still draws into view.
    std::vector<Sample> deep = flat();
    deep[40] = 48;
    const Line line{{spike(10, 500), flat(), deep, spike(70, 300)}};
    WaveTrainInput input = line.input(30);
    input.currentIndex = 3;
    const QImage whole = renderTrain(input, 120);
    for (std::int32_t scroll : {10, 45, 80}) {
        input.scroll = scroll;
        // Segments cut by the pane's edge may be rasterised a pixel apart; a misplaced row
        // would differ in hundreds of pixels.
        EXPECT_LE(differingPixels(renderTrain(input, 40), whole.copy(0, scroll, kPaneWidth, 40)), 8)
            << scroll;
    }
    EXPECT_GT(countIn(whole, {25 + 160, 95, 1, 10}, isMarked), 0) << "the swing reaches y 105";
}

// A long line: `points` ringing pulses of `count` samples, arrivals spread over 200 samples.
Line ringingLine(int points, int count) {
    Line line{{}, count};
    for (int i = 0; i < points; ++i) {
        std::vector<Sample> wave = flat(count);
        const int arrival = 100 + i % 200;
        for (int k = arrival; k < count; ++k) {
            const double t = k - arrival;
            wave[static_cast<std::size_t>(k)] = static_cast<Sample>(
                std::lround(kZeroLine + 1200.0 * std::exp(-t / 150.0) *
                                            std::sin(2 * std::numbers::pi * t / 24.0)));
        }
        line.waves.push_back(std::move(wave));
    }
    return line;
}

// The wave train as a printer or a PDF file gets it, as polylines, rasterised: recorded into a
// picture (a vector device) and played back into an image.
QImage renderTrainAsVectors(const WaveTrainInput& input, QSize size) {
    QPicture picture;
    {
        QPainter painter(&picture);
        drawWaveTrain(painter, QRectF(QPointF(0, 0), size), input, {});
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    picture.play(&painter);
    return image;
}

// Pixels of `a` for which `pred` holds with no such pixel of `b` within one pixel.
template <typename Pred> int strayPixels(const QImage& a, const QImage& b, Pred pred) {
    const auto mask = [&](const QImage& image) {
        std::vector<char> marks(static_cast<std::size_t>(image.width() * image.height()));
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                marks[static_cast<std::size_t>(y * image.width() + x)] = pred(line[x]) ? 1 : 0;
            }
        }
        return marks;
    };
    const std::vector<char> inA = mask(a);
    const std::vector<char> inB = mask(b);
    const int w = a.width();
    const int h = a.height();
    int count = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (inA[static_cast<std::size_t>(y * w + x)] == 0) {
                continue;
            }
            bool near = false;
            for (int v = std::max(y - 1, 0); v <= std::min(y + 1, h - 1) && !near; ++v) {
                for (int u = std::max(x - 1, 0); u <= std::min(x + 1, w - 1) && !near; ++u) {
                    near = inB[static_cast<std::size_t>(v * w + u)] != 0;
                }
            }
            count += near ? 0 : 1;
        }
    }
    return count;
}

TEST(WaveTrainLayout, LowRowsOnScreenLookAsTheirPolylines) {
    // Low rows are filled as runs of pixels on an image, drawn as polylines on a vector
    // device. The two pictures must agree to within a pixel, dense or zoomed in, scrolled or
    // not, with the current point's red trace on top; rows of the view's initial height are
    // polylines on an image too.
    struct Case {
        int points;
        int count;
        QSize size;
        std::int32_t rowHeight;
        std::int32_t scroll;
        bool polylines;
    };
    const Case cases[] = {
        {1000, 1024, {1600, 900}, 1, 0, false},  // a whole long line fitted: samples wider than
                                                 // pixels
        {1000, 1024, {600, 900}, 1, 0, false},   // more samples than pixel columns
        {300, 1024, {1600, 900}, 3, 100, false}, // thin rows, scrolled
        {200, 4000, {900, 900}, 4, 0, false},    // the highest thin rows, four samples a column
        {60, 1024, {1600, 900}, 22, 400, true},  // zoomed in
    };
    const auto isPaper = [](QRgb p) { return p == QColor(Qt::white).rgb(); };
    for (const Case& c : cases) {
        const Line line = ringingLine(c.points, c.count);
        WaveTrainInput input = line.input(c.rowHeight);
        for (std::size_t i = 0; i < input.traces.size(); ++i) {
            input.traces[i].arrivalIndex = 100 + static_cast<std::int32_t>(i % 200);
        }
        input.currentIndex = c.points / 2;
        input.scroll = c.scroll;
        QImage screen(c.size, QImage::Format_RGB32);
        screen.fill(Qt::magenta);
        {
            QPainter painter(&screen);
            drawWaveTrain(painter, QRectF(QPointF(0, 0), c.size), input, {});
        }
        // Right of the axis: a played-back picture may place the distances' glyphs apart.
        const QRect traces(26, 0, c.size.width() - 26, c.size.height());
        const QImage vectors = renderTrainAsVectors(input, c.size).copy(traces);
        screen = screen.copy(traces);
        const int ink = countIn(vectors, vectors.rect(), isInk);
        EXPECT_GT(ink, c.size.width() * 10) << c.points;
        for (const auto pred : {+isInk, +isRed, +isPaper}) {
            EXPECT_EQ(strayPixels(screen, vectors, pred), 0) << c.points;
            EXPECT_EQ(strayPixels(vectors, screen, pred), 0) << c.points;
        }
        // No bolder or fainter: about as much ink, and few pixels apart at all.
        EXPECT_NEAR(countIn(screen, screen.rect(), isInk), ink, ink / 100) << c.points;
        const int differing = differingPixels(screen, vectors);
        EXPECT_LE(differing, c.polylines ? 0 : traces.width() * traces.height() / 100) << c.points;
    }
}

TEST(WaveTrainLayout, PrinterGetsPolylinesForLowRows) {
    // A PDF file or a printer keeps line art as vectors: one polyline a trace, no filled runs.
    const Line line = ringingLine(1000, 1024);
    const WaveTrainInput input = line.input(1);
    RecordingDevice device({1600, 900});
    {
        QPainter painter(&device);
        drawWaveTrain(painter, QRectF(0, 0, 1600, 900), input, {});
    }
    EXPECT_GE(device.recording.polylines.size(), 900u);
    EXPECT_LE(device.recording.fills.size(), 2u) << "the paper and the patch under \"L(mm)\"";
}

// The report picture of `first` … `last` into `rect` of a 1500 × 800 image.
QImage renderPicture(const WaveTrainInput& input, QRect rect, std::int32_t first, std::int32_t last,
                     const WaveTrainPictureLayout& layout, bool* drawn = nullptr) {
    QImage image(1500, 800, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    const bool result = WaveTrainPicture(painter, rect, input, first, last, layout, {});
    if (drawn != nullptr) {
        *drawn = result;
    }
    return image;
}

TEST(WaveTrainPicture, InvalidRangeDrawsNothing) {
    const Line line{{spike(10, 500), flat(), flat()}};
    const WaveTrainInput input = line.input(20);
    const std::pair<int, int> ranges[] = {{-1, 1}, {2, 1}, {0, 3}, {3, 3}};
    for (const auto& [first, last] : ranges) {
        bool drawn = true;
        const QImage image =
            renderPicture(input, {0, 0, 455, 83}, first, last, kBitmapPageLayout, &drawn);
        EXPECT_FALSE(drawn) << first << " " << last;
        EXPECT_EQ(countIn(image, image.rect(), isMarked), 0);
    }
}

TEST(WaveTrainPicture, RangeRunsDownFromTheFirstPoint) {
    // Bitmap sizes: margin 55, inset 3; 2 points in 83 px: h = 40, centres at 23 and 63,
    // 4 px per sample from x = 55 (spikes right of the "L(mm)" label).
    const Line line{{spike(40, 1000), spike(60, 1000), spike(80, 1000)}};
    const WaveTrainInput input = line.input(20);
    bool drawn = false;
    const QImage image = renderPicture(input, {0, 0, 455, 83}, 1, 2, kBitmapPageLayout, &drawn);
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(isInk(image.pixel(55 + 4 * 60, 23 - 20)));
    EXPECT_TRUE(isInk(image.pixel(55 + 4 * 80, 63 - 20)));
    EXPECT_EQ(countIn(image, {55 + 4 * 40, 0, 1, 60}, isInk), 1) << "only point 1's centre line";
    EXPECT_EQ(countIn(image, {455, 0, 100, 100}, isMarked), 0) << "nothing outside";
}

TEST(WaveTrainPicture, AmplitudeScaleComesFromTheWholeLine) {
    // Point 1's +1000 sets the scale also when only point 0 (+500) is drawn: 80 px row,
    // 0.04 px per count, so point 0 rises 20 px above its centre (43), not 40.
    const Line line{{spike(40, 500), spike(30, 1000)}};
    const WaveTrainInput input = line.input(20);
    const QImage image = renderPicture(input, {0, 0, 455, 83}, 0, 0, kBitmapPageLayout);
    EXPECT_TRUE(isInk(image.pixel(55 + 160, 43 - 20)));
    EXPECT_FALSE(isMarked(image.pixel(55 + 160, 43 - 24)));
}

TEST(WaveTrainPicture, TraceRunsOnAScaledImageLookAsTheStrokedTraces) {
    // The word processor's pictures are painted 2 device pixels a unit and fill their traces
    // as runs of pixels: every pixel of either picture within one device pixel of the
    // other's ink, about as much ink, few pixels apart. Dense ringing rows (more samples than
    // columns) and a sawtooth of steep edges, with the current point's trace stroked on top.
    struct Case {
        const char* what;
        Line line;
        int scale;
        QPoint origin;
        int differingPerCent; // of the ink: pen rows against a one-pixel line's steps
    };
    Line sawtooth{{}, 1024};
    for (int i = 0; i < 29; ++i) {
        std::vector<Sample> wave(1024);
        for (std::size_t k = 0; k < wave.size(); ++k) {
            wave[k] =
                static_cast<Sample>(kZeroLine + (k * 37 + static_cast<std::size_t>(i)) % 801 - 400);
        }
        sawtooth.waves.push_back(std::move(wave));
    }
    const Case cases[] = {
        {"ringing rows at 2 pixels a unit", ringingLine(29, 1024), 2, {0, 0}, 5},
        {"ringing rows at 2 pixels a unit, moved", ringingLine(12, 1024), 2, {7, 4}, 5},
        // Wider pens are stroked.
        {"ringing rows at 3 pixels a unit", ringingLine(12, 1024), 3, {0, 0}, 0},
        {"ringing rows at 4 pixels a unit", ringingLine(12, 1024), 4, {0, 0}, 0},
        {"a sawtooth at 2 pixels a unit", sawtooth, 2, {0, 0}, 5},
        {"a sawtooth at 1 pixel a unit", sawtooth, 1, {3, 2}, 25},
    };
    const QSize units(700, 600);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WaveTrainInput input = c.line.input(20);
        for (std::size_t i = 0; i < input.traces.size(); ++i) {
            input.traces[i].arrivalIndex = 100 + static_cast<std::int32_t>(i % 200);
        }
        input.currentIndex = 5;
        const auto render = [&](bool runs) {
            QImage image(units * c.scale + QSize(10, 10), QImage::Format_RGB32);
            image.fill(Qt::magenta);
            QPainter painter(&image);
            painter.translate(c.origin);
            painter.scale(c.scale, c.scale);
            DisplayStyle style;
            style.traceRuns = runs;
            WaveTrainPicture(painter, QRect(QPoint(0, 0), units), input, 0,
                             static_cast<std::int32_t>(input.traces.size()) - 1, kBitmapPageLayout,
                             style);
            return image;
        };
        const QImage runs = render(true);
        const QImage stroked = render(false);
        const int ink = countIn(stroked, stroked.rect(), isInk);
        EXPECT_GT(ink, units.width() * c.scale * 10);
        for (const auto pred : {+isInk, +isRed, +isBlue}) {
            EXPECT_EQ(strayPixels(runs, stroked, pred), 0);
            EXPECT_EQ(strayPixels(stroked, runs, pred), 0);
        }
        EXPECT_NEAR(countIn(runs, runs.rect(), isInk), ink, ink / 20);
        EXPECT_LE(differingPixels(runs, stroked), ink * c.differingPerCent / 100);
        std::printf("[ figures  ] %s: ink %d / %d, %d pixels differ\n", c.what,
                    countIn(runs, runs.rect(), isInk), ink, differingPixels(runs, stroked));
    }
}

TEST(WaveTrainPicture, PrinterAndBitmapSizes) {
    const Line line{{spike(10, 500), flat(), flat()}};
    const WaveTrainInput input = line.input(20);
    struct Case {
        const WaveTrainPictureLayout& layout;
        int axisX;
        bool axisReachesEdges;
    };
    const Case cases[] = {{kBitmapPageLayout, 55, true}, {kPrinterPageLayout, 250, false}};
    const QRect rect(10, 5, 1400, 700);
    for (const Case& c : cases) {
        const QImage image = renderPicture(input, rect, 0, 2, c.layout);
        const int x = rect.left() + c.axisX;
        EXPECT_TRUE(isInk(image.pixel(x, rect.top() + 350))) << c.axisX;
        EXPECT_EQ(isInk(image.pixel(x, rect.top() + 20)), c.axisReachesEdges);
        EXPECT_EQ(isInk(image.pixel(x, rect.bottom() - 20)), c.axisReachesEdges);
        EXPECT_FALSE(isInk(image.pixel(x - 3, rect.top() + 350))) << "margin left of the axis";
        EXPECT_EQ(
            countIn(image, image.rect(), [](QRgb p) { return p == QColor(Qt::magenta).rgb(); }),
            1500 * 800 - rect.width() * rect.height());
    }
}

TEST(WaveTrainRules, RowHeightFitsThePane) {
    EXPECT_EQ(fitTrainRowHeight(300, 30, 22), 10);
    EXPECT_EQ(fitTrainRowHeight(299, 30, 22), 9);
    EXPECT_EQ(fitTrainRowHeight(300, 1000, 22), 1);
    EXPECT_EQ(fitTrainRowHeight(300, 0, 22), 22);
    EXPECT_EQ(trainContentHeight(30, 10), 300);
    EXPECT_EQ(trainContentHeight(65535, 100000), std::numeric_limits<std::int32_t>::max());
}

TEST(WaveTrainRules, ClickSelectsThePointOfTheRow) {
    struct Case {
        double y;
        std::int32_t scroll;
        std::int32_t rowHeight;
        std::optional<std::int32_t> point;
    };
    const Case cases[] = {{0, 0, 20, 4},
                          {19.9, 0, 20, 4},
                          {99, 0, 20, 0},
                          {10, 40, 20, 2},
                          {100, 0, 20, std::nullopt},
                          {10, 0, 0, std::nullopt},
                          {-30, 0, 20, std::nullopt}};
    for (const Case& c : cases) {
        EXPECT_EQ(trainPointAt(c.y, c.scroll, c.rowHeight, 5), c.point) << c.y;
    }
}

TEST(WaveTrainRules, UpSelectsTheNextPoint) {
    EXPECT_EQ(trainPointAfterKey(2, 5, TrainKey::Up), 3);
    EXPECT_EQ(trainPointAfterKey(4, 5, TrainKey::Up), 4);
    EXPECT_EQ(trainPointAfterKey(2, 5, TrainKey::Down), 1);
    EXPECT_EQ(trainPointAfterKey(0, 5, TrainKey::Down), 0);
}

} // namespace
} // namespace crackdepth::draw
