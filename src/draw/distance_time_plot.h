// The distance–time plot of the non-crossing line: one row per distance of the line's axis,
// each point at its transit time and distance, the points joined in line order, the current
// point highlighted and the fitted line L = A + B·T across the plot. The same drawing serves
// the view (which scrolls it) and the report pictures (which fit the rows to their rectangle).
#pragma once

#include "core/analysis/fit.h"
#include "core/data/point_list.h"
#include "core/data/test_parameters.h"
#include "draw/display_style.h"
#include "draw/row_zoom.h" // the wheel rules of the view

#include <QRectF>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace crackdepth::draw {

// One point of the plot.
struct PlotPoint {
    float time = 0;     // transit time T, us
    float distance = 0; // L, mm
};

// The distance axis: rows at S, S + D, … up to Lmax, the top row.
struct DistanceAxis {
    float firstDistance = 0; // S, mm
    float step = 0;          // D, mm
    float topDistance = 0;   // Lmax, mm

    // A positive finite step, finite distances and at least one row.
    bool usable() const;
    // R = trunc((Lmax − S) / D + 1); 0 for an unusable axis.
    std::int64_t rowCount() const;
};

// The axis of a non-crossing header: S = originOffset + firstSpacing, D = step,
// Lmax = referenceDistance.
DistanceAxis distanceAxisOf(const TestParameters& header);

// The axis of a line's plot: the header's, raised to the first row at or above the largest
// distance of the points when that lies beyond Lmax. Lmax is the reference point's distance,
// and the reference point need not be the farthest: every point keeps its own row.
DistanceAxis distanceAxisOf(const TestParameters& header, const std::vector<PlotPoint>& points);

struct PlotInput {
    std::vector<PlotPoint> points;  // line order
    std::int32_t currentIndex = -1; // the highlighted point; none outside the points
    std::optional<LineFit> fit;     // the line is drawn only for a finite A and a finite B ≠ 0
    DistanceAxis axis;
    // h, px; below a pixel where a long line is fitted to its pane.
    double rowHeight = kInitialRowHeight;
    // Reports: the row height is fitted to the rectangle (fitPlotRowHeight) instead.
    bool fitRowHeight = false;
    std::int32_t scroll = 0; // px of the plot scrolled off above the rectangle
};

// The points of a line at their transit times, with the given time corrections.
std::vector<PlotPoint> plotPointsOf(const PointList& line, TimeCorrections corrections);

// The plot of the non-crossing line: its points, current point and axis (reaching its
// farthest point), with `fit` (fit the line first: under the two-point method the fit can
// pair point 0 with another point). Row height and scroll are left to the caller.
PlotInput plotInputOf(const PointList& line, const TestParameters& header,
                      TimeCorrections corrections, const std::optional<LineFit>& fit);

// Draws the plot into `rect` of the painter (the view's client area or a report
// picture) at the style's scale, white background, clipped to the rectangle. Row height and
// scroll are in the drawing's screen pixels.
void drawDistanceTimePlot(QPainter& painter, const QRectF& rect, const PlotInput& input,
                          const DisplayStyle& style);

// The room above the top row's centre: half a row, and at least what the axis's arrowhead and
// half a label need, so that the top row keeps its distance label however low the rows are.
double plotTopRoom(double rowHeight);

// The row height that fits the whole axis into a rectangle `height` px high, the room above
// the top row and the 25 px below the time axis included: whole pixels while the rows are at
// least kMinRowHeight high, otherwise the exact fraction, so that a line of any length fills
// its rectangle. Never below a hundredth of a pixel; 1 for an unusable axis.
double fitPlotRowHeight(double height, const DistanceAxis& axis);

// Height of the whole plot (from its top to the bottom edge below the time axis), for the
// view's scroll range: the room above the top row + h·Lmax/D + 25, rounded up.
std::int32_t plotContentHeight(const DistanceAxis& axis, double rowHeight);

// The row height after `notches` wheel notches: the rules of rowHeightAfterWheel, except that
// rows fitted lower than kMinRowHeight (a long line fitted to its pane) are one notch away:
// up goes to kMinRowHeight, down from kMinRowHeight comes back to the fitted height.
double plotRowHeightAfterWheel(double rowHeight, std::int32_t notches, double fittedHeight);

// The y of point `index` below the plot's top (scroll not applied); none for a point that
// cannot be placed or an unusable axis.
std::optional<double> plotPointY(const PlotInput& input, std::int32_t index);

// The end of the time axis: the next multiple of 20 us above the largest transit time
// (20 for none or only negative ones); non-finite times are ignored.
double timeAxisEnd(const std::vector<PlotPoint>& points);

// The row (0 = bottom, S) under a click at `y` px below the rectangle's top; none outside
// the axis.
std::optional<std::int32_t> plotRowAt(double y, std::int32_t scroll, double rowHeight,
                                      const DistanceAxis& axis);

// The point a click selects: the last point whose distance lies within 0.5 mm of the clicked
// row's distance; point 0 only under the regression method (the two-point method always
// pairs it with the current point). None when no point qualifies.
std::optional<std::int32_t> plotPointAt(double y, const PlotInput& input, RegressionMethod method);

} // namespace crackdepth::draw
