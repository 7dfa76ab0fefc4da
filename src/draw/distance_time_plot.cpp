#include "draw/distance_time_plot.h"

#include "core/analysis/transit_time.h"
#include "core/common/conversions.h"
#include "draw/display_painter.h"
#include "draw/fonts.h"
#include "draw/label_space.h"
#include "draw/number_text.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace crackdepth::draw {
namespace {

constexpr double kMargin = 25;   // the least axis offset from the left edge; the bottom edge
constexpr double kTick = 8;      // tick length
constexpr double kArrow = 8;     // arrowhead length
constexpr double kLabelX = 3;    // left edge of the distance labels
constexpr double kColumnGap = 2; // between the distance labels and the axis
// Above the top row's centre at least the arrowhead, a gap and half a label line.
constexpr double kTopRoom = kArrow + 2 + 8;
constexpr int kFontPixels = 13; // "Times New Roman" 13 px
constexpr int kTimeTicks = 10;
// The distance labels may widen their column up to this share of the plot's width; beyond
// it their font shrinks instead.
constexpr double kWidestColumnShare = 0.25;
const QColor kPointColor{0, 160, 0}; // a green that stays visible on white
const QColor kCurrentColor{255, 0, 0};
const QColor kFitColor{255, 0, 0};

QFont labelFont() {
    return fontOf(kTimes, kFontPixels);
}

double rowDistance(const DistanceAxis& axis, std::int64_t j) {
    return static_cast<double>(axis.firstDistance) + static_cast<double>(j) * axis.step;
}

// The texts of the first and the last row: the widest distance labels of the axis.
QStringList outerLabels(const DistanceAxis& axis) {
    const std::int64_t rows = axis.rowCount();
    if (rows == 0) {
        return {};
    }
    return {fixedText(rowDistance(axis, 0), 0), fixedText(rowDistance(axis, rows - 1), 0)};
}

// Positions of the plot in the painter's coordinates, the scroll already applied.
struct Geometry {
    double left = 0;
    double right = 0;
    double top = 0;    // top edge of the plot: plotTopRoom above the top row's centre
    double axisY = 0;  // the time axis, at distance 0
    double bottom = 0; // the bottom edge, 25 px below the time axis
    double h = 1;      // row height
    double room = kTopRoom;
    double margin = kMargin; // the distance axis, from the left edge
    std::int64_t rows = 0;
    double timeEnd = 20;
    double sx = 0; // px per us

    double axisX() const { return left + margin; }
    // Centre of the row `r` rows below the top row (whole pixels for whole rows).
    double rowCentre(std::int64_t r) const { return top + room + static_cast<double>(r) * h; }
    double xOfTime(double t) const { return left + std::trunc(sx * t + margin); }
};

// The axis offset: 25 px, or wider where the distance labels need it at their full size, so
// that four- and five-digit distances stay legible instead of shrinking.
double marginFor(const QRectF& rect, const DistanceAxis& axis) {
    const QFontMetricsF metrics(labelFont());
    double widest = 0;
    for (const QString& text : outerLabels(axis)) {
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    const double wanted = std::ceil(kLabelX + widest + kColumnGap);
    return std::clamp(wanted, kMargin, std::max(kMargin, rect.width() * kWidestColumnShare));
}

Geometry geometryOf(const QRectF& rect, const PlotInput& input) {
    Geometry g;
    g.left = rect.left();
    g.right = rect.right();
    g.top = rect.top() - input.scroll;
    const double h =
        input.fitRowHeight ? fitPlotRowHeight(rect.height(), input.axis) : input.rowHeight;
    g.h = std::isfinite(h) ? std::max(h, 0.01) : 1.0;
    g.room = plotTopRoom(g.h);
    g.rows = input.axis.rowCount();
    if (g.rows > 0) {
        g.bottom = g.top + plotContentHeight(input.axis, g.h);
    } else {
        g.bottom = rect.bottom(); // no rows: the axes alone, at the bottom of the rectangle
    }
    g.axisY = g.bottom - kMargin;
    g.margin = marginFor(rect, input.axis);
    g.timeEnd = timeAxisEnd(input.points);
    g.sx = std::max(0.0, (rect.width() - g.margin - kMargin) / g.timeEnd);
    return g;
}

// The distances' column, from x = 3 to 2 px before the axis (the row ticks lie right of it).
QRectF labelColumn(const Geometry& g) {
    const double left = g.left + kLabelX;
    return {left, g.top, std::max(g.axisX() - kColumnGap - left, 0.0), g.bottom - g.top};
}

// Every how many rows a label fits: the least of 1, 2, 5, 10, 20, 50, … rows that leaves a
// label's height between labels, so that the labelled distances stay round steps.
std::int64_t labelStride(double textHeight, double h) {
    const double wanted = (textHeight + LabelSpace::kGap) / h;
    constexpr std::int64_t kSteps[] = {1, 2, 5};
    for (std::int64_t power = 1; power < std::int64_t{1} << 60; power *= 10) {
        for (const std::int64_t step : kSteps) {
            if (static_cast<double>(step * power) >= wanted) {
                return step * power;
            }
        }
    }
    return std::int64_t{1} << 60;
}

// The rows in view: their ticks and the distance labels, in one font that fits the column and
// on every k-th row where the rows are lower than the text, so that labels neither overlap
// nor reach the axes.
void drawRows(QPainter& painter, LabelSpace& space, const QRectF& rect, const Geometry& g,
              const DistanceAxis& axis) {
    const QRectF column = labelColumn(g);
    const QFont font = fittedFontForAll(labelFont(), outerLabels(axis), column.width());
    const double textHeight = QFontMetricsF(font).height();
    const std::int64_t labelEvery = labelStride(textHeight, g.h);
    const bool tickEveryRow = g.h >= 3;
    // Only the rows inside the rectangle, however long the axis.
    const auto firstVisible =
        static_cast<std::int64_t>(std::floor((rect.top() - g.top - g.room - textHeight) / g.h));
    const auto lastVisible =
        static_cast<std::int64_t>(std::ceil((rect.bottom() - g.top - g.room + textHeight) / g.h));
    const std::int64_t from = std::max<std::int64_t>(firstVisible, 0);
    const std::int64_t to = std::min<std::int64_t>(lastVisible, g.rows - 1);
    const auto label = [&](std::int64_t r) {
        const double y = g.rowCentre(r);
        const QRectF box(column.left(), y - textHeight / 2, column.width(), textHeight);
        // A label that would stick out above the plot is left out rather than cut.
        if (box.top() >= g.top) {
            drawAxisLine(painter, space, QLineF(g.axisX(), y, g.axisX() + kTick, y));
            drawLabelIn(
                painter, space, font, box, Qt::AlignLeft | Qt::AlignVCenter,
                fittedText(font, fixedText(rowDistance(axis, g.rows - 1 - r), 0), column.width()));
        }
    };
    // The top row first, whatever the stride: the reach of the axis is always labelled, and a
    // stride label too close to it gives way.
    if (from == 0) {
        label(0);
    }
    for (std::int64_t r = std::max<std::int64_t>(from, 1); r <= to; ++r) {
        const std::int64_t j = g.rows - 1 - r; // rows count from the bottom
        if (j % labelEvery == 0) {
            label(r);
        } else if (tickEveryRow) {
            const double y = g.rowCentre(r);
            drawAxisLine(painter, space, QLineF(g.axisX(), y, g.axisX() + kTick, y));
        }
    }
}

// The two axes with their arrowheads and titles, and the time ticks; the labels that follow
// keep clear of all of it.
void drawAxes(QPainter& painter, LabelSpace& space, const QRectF& rect, const Geometry& g) {
    const QFont font = labelFont();
    const double x = g.axisX();
    // Distance axis with its arrowhead at the top edge.
    drawAxisLine(painter, space, QLineF(x, g.bottom - 4, x, g.top));
    drawAxisLine(painter, space, QLineF(x, g.top, x - kArrow / 2, g.top + kArrow));
    drawAxisLine(painter, space, QLineF(x, g.top, x + kArrow / 2, g.top + kArrow));
    // Right of the row ticks, which the top rows have under it.
    drawTitleIn(painter, space, font, QRectF(x + kTick + kColumnGap, g.top, 0, 0),
                Qt::AlignLeft | Qt::AlignTop, QStringLiteral("L(mm)"));
    // Time axis with its arrowhead at the right end; its title above the ticks.
    const double end = rect.right() - 4;
    drawAxisLine(painter, space, QLineF(g.left + 4, g.axisY, end, g.axisY));
    drawAxisLine(painter, space, QLineF(end, g.axisY, end - kArrow, g.axisY - kArrow / 2));
    drawAxisLine(painter, space, QLineF(end, g.axisY, end - kArrow, g.axisY + kArrow / 2));
    drawTitleIn(painter, space, font, QRectF(end, g.axisY - kTick - LabelSpace::kGap - 1, 0, 0),
                Qt::AlignRight | Qt::AlignBottom, QStringLiteral("T(us)"));
    for (int k = 1; k <= kTimeTicks; ++k) {
        const double tx = g.xOfTime(g.timeEnd * k / kTimeTicks);
        drawAxisLine(painter, space, QLineF(tx, g.axisY, tx, g.axisY - kTick));
    }
}

// "0" at the origin and the tick times, thinned out when the axis is too short for all.
void drawTimeLabels(QPainter& painter, LabelSpace& space, const Geometry& g) {
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const double textHeight = metrics.height();
    drawLabelIn(painter, space, font, QRectF(g.axisX() - 3, g.axisY + 2, 0, textHeight),
                Qt::AlignRight | Qt::AlignTop, QStringLiteral("0"));
    const double spacing = g.sx * g.timeEnd / kTimeTicks;
    const double widest = metrics.horizontalAdvance(fixedText(g.timeEnd, 0)) + 6;
    const int labelEvery =
        spacing > 0 ? static_cast<int>(std::clamp(std::ceil(widest / spacing), 1.0, 11.0)) : 11;
    for (int k = labelEvery; k <= kTimeTicks; k += labelEvery) {
        const double t = g.timeEnd * k / kTimeTicks;
        drawLabelIn(painter, space, font, QRectF(g.xOfTime(t), g.axisY + 2, 0, textHeight),
                    Qt::AlignHCenter | Qt::AlignTop, fixedText(t, 0));
    }
}

// The screen position of a point, its row limited to the plot; none for a point that cannot
// be placed.
std::optional<QPointF> positionOf(const PlotPoint& point, const Geometry& g,
                                  const DistanceAxis& axis) {
    const double rowsFromTop = (static_cast<double>(axis.topDistance) - point.distance) / axis.step;
    if (!std::isfinite(point.time) || !std::isfinite(rowsFromTop)) {
        return std::nullopt;
    }
    const double y = std::clamp(g.rowCentre(truncToInt32(rowsFromTop)), g.rowCentre(0), g.axisY);
    // Transit times below 0 lie left of the axis; keep them near the rectangle for the rasteriser.
    const double x = std::clamp(g.xOfTime(point.time), g.left - 1e4, g.right + 1e4);
    return QPointF(x, y);
}

void drawPoints(QPainter& painter, const Geometry& g, const PlotInput& input,
                const DisplayStyle& style) {
    std::vector<std::optional<QPointF>> positions;
    positions.reserve(input.points.size());
    for (const PlotPoint& point : input.points) {
        positions.push_back(positionOf(point, g, input.axis));
    }
    painter.setPen(penOf(style, kInkColor));
    for (std::size_t i = 1; i < positions.size(); ++i) {
        if (positions[i - 1] && positions[i]) {
            painter.drawLine(QLineF(*positions[i - 1], *positions[i]));
        }
    }
    const QColor pointColor = inkOf(style, kPointColor);
    painter.setPen(QPen(pointColor, 1));
    painter.setBrush(pointColor);
    for (const auto& position : positions) {
        if (position) {
            painter.drawEllipse(*position, 3, 3);
        }
    }
    painter.setBrush(Qt::NoBrush);
}

// The current point, drawn last so that neither the other points nor the fitted line hide it.
void drawCurrentPoint(QPainter& painter, const Geometry& g, const PlotInput& input,
                      const DisplayStyle& style) {
    if (input.currentIndex < 0 ||
        static_cast<std::size_t>(input.currentIndex) >= input.points.size()) {
        return;
    }
    const auto current =
        positionOf(input.points[static_cast<std::size_t>(input.currentIndex)], g, input.axis);
    if (current) {
        const QColor currentColor = inkOf(style, kCurrentColor);
        painter.setPen(QPen(currentColor, 1));
        painter.setBrush(currentColor);
        painter.drawEllipse(*current, 5, 5);
        painter.setBrush(Qt::NoBrush);
    }
}

// The part of the segment a–b whose x lies within [low, high]; none when nothing does.
std::optional<QLineF> clipToColumns(QPointF a, QPointF b, double low, double high) {
    double from = 0;
    double to = 1;
    const double dx = b.x() - a.x();
    if (dx == 0) {
        if (a.x() < low || a.x() > high) {
            return std::nullopt;
        }
    } else {
        double t0 = (low - a.x()) / dx;
        double t1 = (high - a.x()) / dx;
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        from = std::max(from, t0);
        to = std::min(to, t1);
        if (from > to) {
            return std::nullopt;
        }
    }
    const QPointF d = b - a;
    return QLineF(a + d * from, a + d * to);
}

// The fitted line across the plot's quadrant: from the time axis (distance 0) to the top edge,
// right of the distance axis. Below the time axis and left of the distance axis lie only
// negative distances and times, and the labels, which the line would run through.
void drawFit(QPainter& painter, const Geometry& g, const PlotInput& input,
             const DisplayStyle& style) {
    if (!input.fit) {
        return;
    }
    const double a = input.fit->A;
    const double b = input.fit->B;
    if (!std::isfinite(a) || !std::isfinite(b) || b == 0) {
        return; // no velocity, no line
    }
    const DistanceAxis& axis = input.axis;
    const double topDistance = static_cast<double>(axis.topDistance) + g.room * axis.step / g.h;
    const auto xAt = [&](double distance) { return g.left + g.sx * (distance - a) / b + g.margin; };
    const QPointF low(xAt(0), g.axisY);
    const QPointF high(xAt(topDistance), g.top);
    if (!std::isfinite(low.x()) || !std::isfinite(high.x())) {
        return;
    }
    // Cut to the quadrant's columns: a nearly flat line can reach far beyond them.
    if (const auto line = clipToColumns(low, high, g.axisX() + 1, g.right + 2)) {
        painter.setPen(markerPenOf(style, kFitColor));
        painter.drawLine(*line);
    }
}

} // namespace

bool DistanceAxis::usable() const {
    return std::isfinite(firstDistance) && std::isfinite(step) && std::isfinite(topDistance) &&
           step > 0 && rowCount() > 0;
}

std::int64_t DistanceAxis::rowCount() const {
    if (!std::isfinite(firstDistance) || !std::isfinite(step) || !std::isfinite(topDistance) ||
        !(step > 0)) {
        return 0;
    }
    const double rows = (static_cast<double>(topDistance) - firstDistance) / step + 1.0;
    // Far more rows than any pane has pixels would only overflow the arithmetic.
    constexpr double kMostRows = 1e9;
    return rows < 1 ? 0 : static_cast<std::int64_t>(std::min(rows, kMostRows));
}

DistanceAxis distanceAxisOf(const TestParameters& header) {
    return {header.originOffset + header.firstSpacing, header.step, header.referenceDistance};
}

DistanceAxis distanceAxisOf(const TestParameters& header, const std::vector<PlotPoint>& points) {
    DistanceAxis axis = distanceAxisOf(header);
    const double first = axis.firstDistance;
    const double step = axis.step;
    if (!std::isfinite(first) || !std::isfinite(step) || !(step > 0)) {
        return axis;
    }
    double farthest = -std::numeric_limits<double>::infinity();
    for (const PlotPoint& point : points) {
        if (std::isfinite(point.distance)) {
            farthest = std::max(farthest, static_cast<double>(point.distance));
        }
    }
    if (std::isfinite(farthest) &&
        (farthest > axis.topDistance || !std::isfinite(axis.topDistance))) {
        // On a row of the axis, so that the rows keep their labels; a distance a hair above a
        // row (float noise) stays on it.
        const double rows = std::max(std::ceil((farthest - first) / step - 1e-4), 0.0);
        axis.topDistance = static_cast<float>(first + rows * step);
    }
    return axis;
}

std::vector<PlotPoint> plotPointsOf(const PointList& line, TimeCorrections corrections) {
    std::vector<PlotPoint> points;
    points.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const MeasuringPoint& point = line[i];
        points.push_back(
            {transitTime(point, corrections.line, corrections.all).time, point.distance});
    }
    return points;
}

PlotInput plotInputOf(const PointList& line, const TestParameters& header,
                      TimeCorrections corrections, const std::optional<LineFit>& fit) {
    PlotInput input;
    input.points = plotPointsOf(line, corrections);
    input.currentIndex = line.currentIndex;
    input.fit = fit;
    input.axis = distanceAxisOf(header, input.points);
    return input;
}

double plotTopRoom(double rowHeight) {
    return std::max(std::floor(rowHeight / 2), kTopRoom);
}

double fitPlotRowHeight(double height, const DistanceAxis& axis) {
    if (axis.rowCount() == 0) {
        return 1;
    }
    const double rowsInView = static_cast<double>(axis.topDistance) / axis.step;
    if (!(rowsInView > 0) || !std::isfinite(rowsInView)) {
        return 1;
    }
    constexpr double kLeast = 0.01;
    // Rows high enough that half a row is room enough above the top one.
    const double halfRowRoom = std::trunc((height - kMargin) / (rowsInView + 0.5));
    if (halfRowRoom / 2 >= kTopRoom) {
        return halfRowRoom;
    }
    const double fitted = (height - kMargin - kTopRoom) / rowsInView;
    if (fitted >= kMinRowHeight) {
        return std::trunc(fitted);
    }
    return std::max(fitted, kLeast);
}

std::int32_t plotContentHeight(const DistanceAxis& axis, double rowHeight) {
    if (axis.rowCount() == 0) {
        return static_cast<std::int32_t>(kMargin);
    }
    const double height =
        plotTopRoom(rowHeight) + rowHeight * axis.topDistance / axis.step + kMargin;
    return std::max(truncToInt32(std::ceil(height - 1e-6)), static_cast<std::int32_t>(kMargin));
}

double plotRowHeightAfterWheel(double rowHeight, std::int32_t notches, double fittedHeight) {
    if (notches == 0) {
        return rowHeight;
    }
    const bool fittedLow = fittedHeight > 0 && fittedHeight < kMinRowHeight;
    if (rowHeight < kMinRowHeight) {
        return notches > 0 ? kMinRowHeight : rowHeight;
    }
    const std::int32_t whole = rowHeightAfterWheel(truncToInt32(rowHeight), notches);
    if (fittedLow && notches < 0 && truncToInt32(rowHeight) == kMinRowHeight) {
        return fittedHeight;
    }
    return whole;
}

std::optional<double> plotPointY(const PlotInput& input, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= input.points.size() ||
        !input.axis.usable() || !(input.rowHeight > 0)) {
        return std::nullopt;
    }
    Geometry g;
    g.h = input.rowHeight;
    g.room = plotTopRoom(g.h);
    g.rows = input.axis.rowCount();
    g.bottom = plotContentHeight(input.axis, g.h);
    g.axisY = g.bottom - kMargin;
    const auto position = positionOf(input.points[static_cast<std::size_t>(index)], g, input.axis);
    if (!position) {
        return std::nullopt;
    }
    return position->y();
}

double timeAxisEnd(const std::vector<PlotPoint>& points) {
    double largest = 0;
    for (const PlotPoint& point : points) {
        if (std::isfinite(point.time)) {
            largest = std::max(largest, static_cast<double>(point.time));
        }
    }
    return 20.0 * (std::trunc(largest / 20.0) + 1.0);
}

std::optional<std::int32_t> plotRowAt(double y, std::int32_t scroll, double rowHeight,
                                      const DistanceAxis& axis) {
    const double fromTop = y + scroll;
    const std::int64_t rows = axis.rowCount();
    if (!(rowHeight > 0) || fromTop < 0 || rows == 0) {
        return std::nullopt;
    }
    // Each row reaches half a row above and below its centre.
    const double fromFirstRow = fromTop - plotTopRoom(rowHeight) + rowHeight / 2;
    if (fromFirstRow < 0) {
        return std::nullopt;
    }
    const std::int64_t row =
        rows - static_cast<std::int64_t>(std::floor(fromFirstRow / rowHeight)) - 1;
    if (row < 0 || row >= rows || row > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(row);
}

std::optional<std::int32_t> plotPointAt(double y, const PlotInput& input, RegressionMethod method) {
    const auto row = plotRowAt(y, input.scroll, input.rowHeight, input.axis);
    if (!row) {
        return std::nullopt;
    }
    const double d =
        static_cast<double>(input.axis.firstDistance) + static_cast<double>(*row) * input.axis.step;
    const std::size_t first = method == RegressionMethod::Regression ? 0 : 1;
    for (std::size_t i = input.points.size(); i-- > first;) {
        const double distance = input.points[i].distance;
        if (d - 0.5 < distance && distance < d + 0.5) {
            return static_cast<std::int32_t>(i);
        }
    }
    return std::nullopt;
}

void drawDistanceTimePlot(QPainter& painter, const QRectF& deviceRect, const PlotInput& input,
                          const DisplayStyle& style) {
    const DisplayPainter display(painter, deviceRect, style);
    const QRectF& rect = display.rect();
    display.fill(rect, kPaperColor);
    painter.setPen(penOf(style, kInkColor));
    painter.setBrush(Qt::NoBrush);

    const Geometry g = geometryOf(rect, input);
    LabelSpace space;
    drawAxes(painter, space, rect, g);
    if (g.rows > 0) {
        drawRows(painter, space, rect, g, input.axis);
    }
    drawTimeLabels(painter, space, g);
    if (g.rows > 0) {
        drawPoints(painter, g, input, style);
        drawFit(painter, g, input, style);
        drawCurrentPoint(painter, g, input, style);
    }
}

} // namespace crackdepth::draw
