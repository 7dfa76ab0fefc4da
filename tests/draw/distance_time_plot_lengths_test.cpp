// The distance–time plot fitted to its rectangle for lines of any length (3, the demo's 7,
// 120 and 1,000 points): both axes inside the rectangle, the rows filling it, every label
// legible and clear of the others, the top row's distance labelled, the fitted line off the
// labels, the current point visible; and a click on a drawn point selects that point.
#include "draw/distance_time_plot.h"
#include "image_support.h"
#include "recording_device.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace crackdepth::draw {
namespace {

using testing::countIn;
using testing::Recording;
using testing::RecordingDevice;

// A line of `count` points every 50 mm from 50 mm on a concrete of 4.19 km/s (A = −10 mm),
// its current point `current`.
PlotInput lineOf(int count, std::int32_t current) {
    PlotInput input;
    input.axis = {50, 50, 50.0f * static_cast<float>(count)};
    for (int i = 0; i < count; ++i) {
        const float distance = 50.0f * static_cast<float>(i + 1);
        // A little scatter about the line, as measured times have.
        const float scatter = (i % 3 == 0) ? 0.6f : -0.4f;
        input.points.push_back({(distance + 10.0f) / 4.19f + scatter, distance});
    }
    input.currentIndex = current;
    input.fit = LineFit{-10, 4.19f};
    return input;
}

struct Case {
    const char* name;
    int points;
    QSize size;
};

// The report's picture with the table head, a report without it, a window's pane.
const Case kCases[] = {
    {"3 points, report", 3, {370, 230}},     {"demo, report", 7, {370, 230}},
    {"demo, tall report", 7, {375, 315}},    {"120 points, report", 120, {370, 230}},
    {"120 points, pane", 120, {640, 300}},   {"1000 points, report", 1000, {370, 230}},
    {"1000 points, pane", 1000, {640, 300}},
};

Recording record(const PlotInput& input, QSize size) {
    RecordingDevice device(size);
    QPainter painter(&device);
    drawDistanceTimePlot(painter, QRectF(QPointF(0, 0), QSizeF(size)), input, {});
    painter.end();
    return device.recording;
}

bool hasText(const Recording& recording, const QString& text) {
    return std::any_of(recording.texts.begin(), recording.texts.end(),
                       [&](const auto& recorded) { return recorded.text == text; });
}

// The pixels a one-pixel line covers.
QRectF pixelsOf(const QLineF& line) {
    return {std::min(line.x1(), line.x2()), std::min(line.y1(), line.y2()), std::abs(line.dx()) + 1,
            std::abs(line.dy()) + 1};
}

// Whether the segment passes through the box (sampled every half pixel).
bool crosses(const QLineF& line, const QRectF& box) {
    const int steps = std::max(2, static_cast<int>(line.length() * 2));
    for (int k = 0; k <= steps; ++k) {
        if (box.contains(line.pointAt(static_cast<double>(k) / steps))) {
            return true;
        }
    }
    return false;
}

TEST(DistanceTimePlotLengths, FittedPlotsKeepEveryPartInsideAndLegible) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        PlotInput input = lineOf(c.points, c.points / 2);
        input.fitRowHeight = true;
        const Recording recording = record(input, c.size);

        // The time axis: the longest black horizontal line, 25 px above the bottom edge, so
        // that the rows above it fill the rectangle.
        double axisY = -1;
        double longest = 0;
        for (const auto& line : recording.lines) {
            if (line.color == kInkColor && line.line.dy() == 0 &&
                std::abs(line.line.dx()) > longest) {
                longest = std::abs(line.line.dx());
                axisY = line.line.y1();
            }
        }
        // Whole rows (5 px and more) may leave less than a row.
        const double slack = std::max(2.0, fitPlotRowHeight(c.size.height(), input.axis));
        EXPECT_GE(axisY, c.size.height() - 25 - slack)
            << "the rows leave the rectangle's foot empty";
        EXPECT_LE(axisY, c.size.height() - 25) << "the time axis is cut off";

        // Titles, the origin and the top row's distance, all legible, none over another.
        for (const char* text : {"L(mm)", "T(us)", "0"}) {
            EXPECT_TRUE(hasText(recording, QString::fromUtf8(text))) << text;
        }
        EXPECT_TRUE(hasText(recording, QString::number(50 * c.points)))
            << "the top row's distance is missing";
        int distanceLabels = 0;
        for (std::size_t i = 0; i < recording.texts.size(); ++i) {
            const auto& text = recording.texts[i];
            const QRectF around = text.ink.adjusted(-0.5, -0.5, 0.5, 0.5);
            EXPECT_GE(text.ink.height(), 8) << text.text.toStdString() << " is squashed";
            EXPECT_TRUE(QRectF(QPointF(0, 0), QSizeF(c.size)).contains(text.ink))
                << text.text.toStdString() << " is cut off";
            for (std::size_t j = i + 1; j < recording.texts.size(); ++j) {
                EXPECT_FALSE(around.intersects(recording.texts[j].ink))
                    << text.text.toStdString() << " over " << recording.texts[j].text.toStdString();
            }
            for (const auto& line : recording.lines) {
                if (line.color == kInkColor) {
                    EXPECT_FALSE(around.intersects(pixelsOf(line.line)))
                        << text.text.toStdString() << " on an axis line";
                } else {
                    EXPECT_FALSE(crosses(line.line, around))
                        << "the fitted line runs through " << text.text.toStdString();
                }
            }
            distanceLabels += text.ink.right() < 40 && text.text != "0" ? 1 : 0;
        }
        EXPECT_GE(distanceLabels, std::min(c.points, 3)) << "the distance axis is unlabelled";
    }
}

TEST(DistanceTimePlotLengths, EveryPointAndTheCurrentOneLieInsideTheRectangle) {
    const auto isRed = [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90; };
    const auto isGreen = [](QRgb p) {
        return qGreen(p) > qRed(p) + 60 && qGreen(p) > qBlue(p) + 60;
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        for (const std::int32_t current : {0, c.points - 1}) {
            PlotInput input = lineOf(c.points, current);
            input.fit.reset(); // red belongs to the current point alone
            input.fitRowHeight = true;
            QImage image(c.size + QSize(0, 200), QImage::Format_RGB32);
            image.fill(Qt::magenta);
            QPainter painter(&image);
            drawDistanceTimePlot(painter, QRectF(QPointF(0, 0), QSizeF(c.size)), input, {});
            painter.end();
            const QRect inside(QPoint(0, 0), c.size);
            EXPECT_GE(countIn(image, inside, isRed), 60) << "current point " << current;
            // Nothing beyond the rectangle (the image continues below it, in magenta) and
            // points at both ends of the line: green near the top and the bottom.
            EXPECT_EQ(countIn(image, image.rect(), isGreen), countIn(image, inside, isGreen));
            const int lower = c.size.height() / 2;
            EXPECT_GT(countIn(image, QRect(0, 0, c.size.width(), lower), isGreen) +
                          countIn(image, QRect(0, 0, c.size.width(), lower), isRed),
                      0);
            EXPECT_GT(countIn(image, QRect(0, lower, c.size.width(), lower), isGreen) +
                          countIn(image, QRect(0, lower, c.size.width(), lower), isRed),
                      0);
        }
    }
}

TEST(DistanceTimePlotLengths, AClickOnAFittedRowSelectsItsPoint) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        PlotInput input = lineOf(c.points, -1);
        input.rowHeight = fitPlotRowHeight(c.size.height(), input.axis);
        if (input.rowHeight < 1) {
            continue; // rows below a pixel: a click cannot single out a point
        }
        for (const std::int32_t point : {1, c.points / 2, c.points - 1}) {
            const auto y = plotPointY(input, point);
            ASSERT_TRUE(y.has_value());
            EXPECT_EQ(plotPointAt(*y, input, RegressionMethod::Regression), point);
        }
    }
}

} // namespace
} // namespace crackdepth::draw
