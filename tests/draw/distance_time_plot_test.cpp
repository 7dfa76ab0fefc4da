// The distance–time plot, drawn into images: where points, the current point, ticks and the
// fitted line land, what an undefined fit draws, monochrome output, scrolling and clipping;
// and the click, row-fit and wheel rules of its view.
#include "draw/distance_time_plot.h"
#include "image_support.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace crackdepth::draw {
namespace {

// The axis used throughout: rows 100 … 300 mm every 50 mm (R = 5). With h = 20 the row centres
// lie at y = 18 (300 mm: room for the arrowhead and half a label above it) … 98 (100 mm), the
// time axis (0 mm) at 138, the bottom edge at 163.
constexpr DistanceAxis kAxis{100, 50, 300};
constexpr int kWidth = 550; // 500 px of time axis: sx = 500 / Tmax'

QImage render(const PlotInput& input, QSize size, const DisplayStyle& style = {}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    drawDistanceTimePlot(painter, QRectF(QPointF(0, 0), size), input, style);
    return image;
}

bool isRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool isGreen(QRgb p) {
    return qGreen(p) > qRed(p) + 60 && qGreen(p) > qBlue(p) + 60;
}
bool isInk(QRgb p) {
    return qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) < 110;
}

using testing::countIn;
using testing::differingPixels;

PlotInput baseInput() {
    PlotInput input;
    input.axis = kAxis;
    input.rowHeight = 20;
    return input;
}

TEST(DistanceTimePlotAxis, TimeAxisEndsAtTheNextMultipleOf20) {
    struct Case {
        std::vector<float> times;
        double end;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {{{10, 57.3f}, 60}, {{60}, 80},          {{}, 20},
                          {{-5}, 20},        {{19.99f, nan}, 20}, {{0}, 20}};
    for (const Case& c : cases) {
        std::vector<PlotPoint> points;
        for (float t : c.times) {
            points.push_back({t, 100});
        }
        EXPECT_DOUBLE_EQ(timeAxisEnd(points), c.end) << c.times.size();
    }
}

TEST(DistanceTimePlotAxis, TenTicksAtEveryTenthOfTheAxis) {
    // Tmax = 57.3 us: axis to 60 us, sx = 500/60, ticks every 6 us at x = 25 + 50·k.
    PlotInput input = baseInput();
    input.points = {{57.3f, 100}};
    const QImage image = render(input, {kWidth, 200});
    const int tickY = 138 - 4; // halfway up the 8-px marks above the time axis
    for (int k = 1; k <= 10; ++k) {
        EXPECT_TRUE(isInk(image.pixel(25 + 50 * k, tickY))) << "tick " << k;
        EXPECT_FALSE(isInk(image.pixel(50 * k, tickY))) << "between ticks " << k;
    }
    EXPECT_TRUE(isInk(image.pixel(200, 138))) << "time axis";
    EXPECT_TRUE(isInk(image.pixel(25, 60))) << "distance axis";
}

TEST(DistanceTimePlotPoints, PointsSitOnTheirRowsAtTheirTimes) {
    // Tmax' = 60: x = trunc(500/60 · T + 25). Distances above Lmax are drawn on the top row,
    // 0 mm on the time axis.
    struct Case {
        PlotPoint point;
        QPoint centre;
    };
    const Case cases[] = {{{24, 100}, {225, 98}},    {{30, 150}, {275, 78}}, {{36, 200}, {325, 58}},
                          {{57.3f, 300}, {502, 18}}, {{42, 400}, {375, 18}}, {{48, 0}, {425, 138}},
                          {{13, 224.9f}, {133, 38}}}; // row trunc(1.5) from the top
    PlotInput input = baseInput();
    for (const Case& c : cases) {
        input.points.push_back(c.point);
    }
    const QImage image = render(input, {kWidth, 200});
    for (const Case& c : cases) {
        EXPECT_TRUE(isGreen(image.pixel(c.centre + QPoint(2, 0)))) << c.centre.x();
        EXPECT_TRUE(isGreen(image.pixel(c.centre + QPoint(0, -2)))) << c.centre.x();
    }
}

TEST(DistanceTimePlotPoints, CurrentPointIsALargerRedCircle) {
    PlotInput input = baseInput();
    input.points = {{24, 100}, {30, 150}, {57.3f, 300}};
    input.currentIndex = 1;
    const QImage image = render(input, {kWidth, 200});
    EXPECT_TRUE(isRed(image.pixel(275 + 4, 78)));
    EXPECT_TRUE(isGreen(image.pixel(225 + 2, 98)));
    // Only the current point is red: a red area of radius 5, nothing else (no fit).
    EXPECT_GT(countIn(image, image.rect(), isRed), 60);
    EXPECT_EQ(countIn(image, image.rect(), isRed), countIn(image, {268, 71, 15, 15}, isRed));
}

TEST(DistanceTimePlotPoints, PointsAreJoinedInLineOrder) {
    PlotInput input = baseInput();
    input.points = {{24, 100}, {36, 200}, {57.3f, 300}};
    const QImage image = render(input, {kWidth, 200});
    // Halfway between (225, 98) and (325, 58).
    EXPECT_GT(countIn(image, {273, 76, 5, 5}, isInk), 0);
}

// x of the fitted line L = A + B·T at height y, with the test axis (h = 20, sx = 500/60).
double fitX(double y, LineFit fit) {
    const double distance = (138.0 - y) / 20.0 * 50.0;
    return 25.0 + 500.0 / 60.0 * (distance - fit.A) / fit.B;
}

TEST(DistanceTimePlotFit, FittedLineRunsFromTheTimeAxisToTheTopEdge) {
    // Only over positive distances and times: below the time axis and left of the distance
    // axis lie the labels.
    const LineFit fit{-50, 10};
    PlotInput input = baseInput();
    input.points = {{57.3f, 100}};
    input.fit = fit;
    const QImage image = render(input, {kWidth, 200});
    for (int y : {1, 10, 70, 100, 129, 136}) {
        const int x = static_cast<int>(std::round(fitX(y, fit)));
        EXPECT_GT(countIn(image, {x - 1, y, 3, 1}, isRed), 0) << "y " << y;
    }
    int offLine = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isRed(image.pixel(x, y)) && (y > 139 || std::abs(x - fitX(y, fit)) > 3)) {
                ++offLine;
            }
        }
    }
    EXPECT_EQ(offLine, 0);
}

TEST(DistanceTimePlotFit, UndefinedFitDrawsNoLine) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::optional<LineFit> fits[] = {std::nullopt, LineFit{10, 0}, LineFit{10, inf},
                                           LineFit{nan, 5}, LineFit{10, nan}};
    for (const auto& fit : fits) {
        PlotInput input = baseInput();
        input.points = {{24, 100}, {30, 150}};
        input.fit = fit;
        const QImage image = render(input, {kWidth, 200});
        EXPECT_EQ(countIn(image, image.rect(), isRed), 0);
        EXPECT_GT(countIn(image, image.rect(), isGreen), 0) << "the points are still drawn";
    }
}

TEST(DistanceTimePlotFit, NearlyFlatLineIsCutToTheRectangle) {
    // B tiny: the ends lie millions of pixels away; the visible part must still be drawn.
    PlotInput input = baseInput();
    input.points = {{30, 100}};
    input.fit = LineFit{150, 1e-4f};
    const QImage image = render(input, {kWidth, 200});
    // Distance 150 (A) is at y = 78, where the line leaves the distance axis at x = 25.
    EXPECT_GT(countIn(image, {20, 73, 20, 11}, isRed), 0);
}

TEST(DistanceTimePlotStyle, MonochromeHasNoColour) {
    PlotInput input = baseInput();
    input.points = {{24, 100}, {30, 150}, {57.3f, 300}};
    input.currentIndex = 1;
    input.fit = LineFit{-50, 10};
    const QImage image = render(input, {kWidth, 200}, DisplayStyle{true, 1.0, {}});
    EXPECT_EQ(countIn(image, image.rect(),
                      [](QRgb p) { return qRed(p) != qGreen(p) || qGreen(p) != qBlue(p); }),
              0);
    EXPECT_GT(countIn(image, {268, 71, 15, 15}, isInk), 60) << "the current point stays visible";
}

TEST(DistanceTimePlotLayout, ScrollingMovesThePicture) {
    PlotInput input = baseInput();
    input.points = {{24, 100}, {30, 150}, {57.3f, 300}};
    input.currentIndex = 2;
    input.fit = LineFit{-50, 10};
    const QImage whole = render(input, {kWidth, 160});
    input.scroll = 40;
    const QImage part = render(input, {kWidth, 100});
    // Lines cut by the rectangle's edge may be rasterised a pixel apart; anything misplaced
    // would differ in hundreds of pixels.
    EXPECT_LE(differingPixels(part, whole.copy(0, 40, kWidth, 100)), 12);
}

TEST(DistanceTimePlotLayout, DrawsOnlyInsideItsRectangle) {
    PlotInput input = baseInput();
    input.points = {{24, 100}, {57.3f, 400}};
    input.currentIndex = 1;
    input.fit = LineFit{150, 1e-4f}; // reaches far beyond both sides
    input.scroll = 20;
    QImage image(700, 400, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    const QRect rect(50, 60, kWidth, 100);
    drawDistanceTimePlot(painter, rect, input, {});
    painter.end();
    const auto magenta = [](QRgb p) { return p == QColor(Qt::magenta).rgb(); };
    EXPECT_EQ(countIn(image, rect, magenta), 0);
    EXPECT_EQ(countIn(image, image.rect(), magenta), 700 * 400 - rect.width() * rect.height());
}

TEST(DistanceTimePlotLayout, DistanceLabelsNeverOverlap) {
    // 100 rows of 5 px: labels 13 px high must be thinned out, leaving blank lines between.
    PlotInput input = baseInput();
    input.axis = {10, 10, 1000};
    input.rowHeight = 5;
    const QImage image = render(input, {400, plotContentHeight(input.axis, 5)});
    int longestRun = 0;
    int runs = 0;
    int run = 0;
    for (int y = 0; y < image.height(); ++y) {
        const bool ink = countIn(image, {3, y, 18, 1}, isInk) > 0;
        run = ink ? run + 1 : 0;
        runs += run == 1 ? 1 : 0;
        longestRun = std::max(longestRun, run);
    }
    EXPECT_GE(runs, 20);
    EXPECT_LE(longestRun, 16);
}

TEST(DistanceTimePlotLayout, UnusableAxisDrawsAxesOnly) {
    const DistanceAxis axes[] = {{100, 0, 300},
                                 {100, -50, 300},
                                 {300, 50, 100},
                                 {100, std::numeric_limits<float>::quiet_NaN(), 300}};
    for (const DistanceAxis& axis : axes) {
        EXPECT_FALSE(axis.usable());
        PlotInput input = baseInput();
        input.axis = axis;
        input.points = {{24, 100}};
        input.fit = LineFit{-50, 10};
        const QImage image = render(input, {kWidth, 200});
        EXPECT_EQ(countIn(image, image.rect(), isGreen), 0);
        EXPECT_EQ(countIn(image, image.rect(), isRed), 0);
        EXPECT_TRUE(isInk(image.pixel(200, 175))) << "time axis 25 px above the bottom";
    }
}

TEST(DistanceTimePlotRules, RowHeightFitsTheAxisIntoTheRectangle) {
    struct Case {
        double height;
        DistanceAxis axis;
        double rowHeight;
    };
    const Case cases[] = {
        {300, kAxis, 42},          // 275 / 6.5: half a row is room enough above the top row
        {230, {100, 50, 100}, 82}, // 205 / 2.5
        {900, {10, 10, 1000}, 8},  // (900 − 25 − 18) / 100: whole pixels from 5 px on
        {300, {50, 50, 6000}, 257.0 / 120}, // the exact fraction below 5 px
        {20, kAxis, 0.01},                  // too low for any row: rows never collapse
        {300, {100, 0, 300}, 1},            // no step
        {300, {100, 50, -300}, 1},          // no rows
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(fitPlotRowHeight(c.height, c.axis), c.rowHeight) << c.height;
    }
    // The fitted plot ends within the rectangle.
    EXPECT_LE(plotContentHeight(kAxis, fitPlotRowHeight(300, kAxis)), 300);
    EXPECT_EQ(plotContentHeight(kAxis, 20), 163);
    EXPECT_EQ(plotContentHeight(kAxis, 21), 169); // 18 + 126 + 25
    EXPECT_EQ(plotContentHeight(kAxis, 40), 285); // 20 + 240 + 25: half a row above the top
    EXPECT_EQ(plotContentHeight(kAxis, 2.5), 58); // 18 + 15 + 25
}

TEST(DistanceTimePlotRules, ReportsFitTheRowsToTheirRectangle) {
    PlotInput input = baseInput();
    input.points = {{57.3f, 300}};
    input.rowHeight = 5; // ignored when fitting
    input.fitRowHeight = true;
    const QImage fitted = render(input, {kWidth, 300});
    input.fitRowHeight = false;
    input.rowHeight = 42;
    EXPECT_EQ(differingPixels(fitted, render(input, {kWidth, 300})), 0);
}

TEST(DistanceTimePlotRules, ClickSelectsTheLastPointOfTheRow) {
    PlotInput input = baseInput();
    // Rows from the top: 300 (y 8–27), 250, 200, 150, 100 (y 88–107).
    input.points = {{20, 100}, {25, 150}, {26, 150.4f}, {30, 200.6f}, {35, 250}};
    struct Case {
        double y;
        std::int32_t scroll;
        RegressionMethod method;
        std::optional<std::int32_t> point;
    };
    const auto regression = RegressionMethod::Regression;
    const auto twoPoint = RegressionMethod::TwoPoint;
    const Case cases[] = {
        {73, 0, regression, 2},            // two points within 0.5 mm: the later one
        {53, 0, regression, std::nullopt}, // 200.6 is more than 0.5 mm off
        {33, 0, regression, 4},
        {93, 0, regression, 0},
        {93, 0, twoPoint, std::nullopt}, // point 0 is never the second point
        {73, 0, twoPoint, 2},
        {13, 0, regression, std::nullopt},  // row 300 has no point
        {113, 0, regression, std::nullopt}, // below the last row
        {5, 68, regression, 2},             // scrolled: y 73 of the plot
    };
    for (const Case& c : cases) {
        input.scroll = c.scroll;
        EXPECT_EQ(plotPointAt(c.y, input, c.method), c.point) << "y " << c.y;
    }
    EXPECT_EQ(plotRowAt(93, 0, 20, kAxis), 0);
    EXPECT_EQ(plotRowAt(13, 0, 20, kAxis), 4);
    EXPECT_EQ(plotRowAt(108, 0, 20, kAxis), std::nullopt);
    EXPECT_EQ(plotRowAt(7, 0, 20, kAxis), std::nullopt); // in the room above the top row
    EXPECT_EQ(plotRowAt(5, 0, 0, kAxis), std::nullopt);
}

TEST(DistanceTimePlotRules, WheelChangesRowHeightWithin5To100) {
    struct Case {
        std::int32_t height;
        std::int32_t notches;
        std::int32_t result;
    };
    const Case cases[] = {{22, 1, 23}, {22, -1, 21}, {22, 3, 25},    {5, -1, 5}, {100, 1, 100},
                          {3, 1, 5},   {4, -1, 5},   {150, -1, 100}, {1, 0, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(rowHeightAfterWheel(c.height, c.notches), c.result)
            << c.height << " " << c.notches;
    }
}

TEST(DistanceTimePlotRules, ScrollReturnsToTopNearTheEnd) {
    struct Case {
        std::int32_t scroll;
        std::int32_t content;
        std::int32_t viewport;
        std::int32_t result;
    };
    const Case cases[] = {{0, 1000, 300, 0},   {500, 1000, 300, 500}, {675, 1000, 300, 675},
                          {676, 1000, 300, 0}, {700, 1000, 300, 0},   {800, 1000, 300, 0},
                          {40, 200, 300, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(scrollAfterRowHeightChange(c.scroll, c.content, c.viewport), c.result)
            << c.scroll;
    }
}

TEST(DistanceTimePlotPoints, PointsBeyondTheReferencePointKeepTheirOwnRows) {
    // Seven points 100 … 400 mm; the reference point is the second (150 mm). The axis reaches
    // the largest distance, 400 mm: seven rows, each point on its own.
    TestParameters header;
    header.firstSpacing = 100;
    header.step = 50;
    header.referenceDistance = 150;
    PointList line;
    const std::vector<Sample> samples(512, kZeroLine);
    for (int i = 0; i < 7; ++i) {
        line.Append(samples, 100.0f + 50.0f * static_cast<float>(i));
        MeasuringPoint& point = *line.PointAt(i);
        point.record.setSamplingInterval(0.5f);
        point.arrivalIndex = 40 + 10 * i; // 20 … 50 us
    }
    PlotInput input = plotInputOf(line, header, {}, std::nullopt);
    EXPECT_EQ(input.axis.topDistance, 400);
    EXPECT_EQ(input.axis.rowCount(), 7);
    input.rowHeight = 20;
    input.currentIndex = -1;
    const QImage image = render(input, {kWidth, plotContentHeight(input.axis, 20)});
    for (int i = 0; i < 7; ++i) {
        // Row of 400 mm at y = 18, of 100 mm at y = 138; x = trunc(500/60 · T + 25).
        const int y = 18 + 20 * (6 - i);
        const int x = static_cast<int>(500.0 / 60.0 * (20 + 5 * i) + 25);
        EXPECT_TRUE(isGreen(image.pixel(x + 2, y))) << "point " << i;
        EXPECT_EQ(plotPointAt(y, input, RegressionMethod::Regression), i) << "click on its row";
    }
    EXPECT_EQ(distanceAxisOf(header).topDistance, 150) << "the header alone";
}

TEST(DistanceTimePlotRules, PointsAndAxisComeFromTheLine) {
    TestParameters header;
    header.originOffset = 20;
    header.firstSpacing = 80;
    header.step = 50;
    header.referenceDistance = 350;
    const DistanceAxis axis = distanceAxisOf(header);
    EXPECT_EQ(axis.firstDistance, 100);
    EXPECT_EQ(axis.rowCount(), 6);

    PointList line;
    const std::vector<Sample> samples(512, kZeroLine);
    line.Append(samples, 150);
    MeasuringPoint& point = *line.PointAt(0);
    point.record.setSamplingInterval(0.5f);
    point.arrivalIndex = 40;
    point.delay = 3;
    point.timeShift = 1;
    // Corrections 1 + 0.5 + 0.25 us = 3.5 samples, truncated to 3.
    line.currentIndex = 0;
    const PlotInput input = plotInputOf(line, header, {0.5f, 0.25f}, LineFit{1, 2});
    ASSERT_EQ(input.points.size(), 1u);
    EXPECT_FLOAT_EQ(input.points[0].time, (3 + 40) * 0.5f + 3);
    EXPECT_FLOAT_EQ(input.points[0].distance, 150);
    EXPECT_EQ(input.currentIndex, 0);
    EXPECT_EQ(input.axis.topDistance, 350);
    ASSERT_TRUE(input.fit);
    EXPECT_EQ(input.fit->B, 2);
}

} // namespace
} // namespace crackdepth::draw
