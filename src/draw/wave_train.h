// The wave train: every waveform of one line stacked by distance, each moved right by its
// time correction and by its delay beyond the line's smallest one, so that arrivals line up in
// time. The line view shows it with the first point at the bottom (scrolling over the rows);
// reports draw a range of points into a picture with the first point of the range at the top.
#pragma once

#include "core/analysis/fit.h"
#include "core/data/measuring_point.h"
#include "core/data/point_list.h"
#include "draw/display_style.h"
#include "draw/row_zoom.h" // the wheel rules of the view

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace crackdepth::draw {

// One point's waveform as the wave train shows it.
struct WaveTrace {
    std::span<const Sample> samples; // not owned: the point's working waveform
    float distance = 0;              // mm, the row's label
    std::int32_t arrivalIndex = 0;   // first-arrival sample
    // a: screen sample k shows waveform sample k − a; screen samples before a (and past the
    // waveform's end) lie on the row's centre line.
    std::int32_t offset = 0;
};

struct WaveTrainInput {
    std::vector<WaveTrace> traces;  // the whole line, in line order
    std::int32_t sampleCount = 512; // n: screen samples 0 … n−1 span the trace width
    std::int32_t currentIndex = -1; // drawn red
    // Traces orange for a crossing line (layout 1), black for the non-crossing line (layout 2).
    bool crossingLine = false;
    std::int32_t rowHeight = kInitialRowHeight; // h, px (screen layout only)
    std::int32_t scroll = 0; // px scrolled off above the pane (screen layout only)
};

// a = the time-correction shift of the transit time + trunc((delay − minDelay) / dt), in
// samples; 0 for a point without a usable sampling interval.
std::int32_t traceOffsetOf(const MeasuringPoint& point, float minDelay,
                           TimeCorrections corrections);

// The traces of a whole line (the spans point into `line`, which must outlive the input), its
// sample count and current point; row height and scroll are left to the caller.
WaveTrainInput waveTrainInputOf(const PointList& line, TimeCorrections corrections,
                                bool crossingLine);

// The line view's wave-train layout in `pane` of the painter, at the style's scale:
// point i in row n − 1 − i from the top, a left axis at 25 px with the distances, traces from
// 25 px to 25 px before the right edge. Row height and scroll are in screen pixels.
void drawWaveTrain(QPainter& painter, const QRectF& pane, const WaveTrainInput& input,
                   const DisplayStyle& style);

// The sizes of a report's wave-train picture, in its screen pixels (the style's scale makes
// them device pixels).
struct WaveTrainPictureLayout {
    double margin = 55;       // J: the axis, from the rectangle's left edge
    double inset = 3;         // I: the first row starts this far below the top
    int fontPixels = 26;      // the distances and "L(mm)", "Arial"
    double labelRaise = 10;   // a distance's top, above its row's centre line
    double labelX = 0;        // a distance's left edge
    double axisOverhang = 0;  // the axis stops this far short of the top and the bottom
    QPointF unitLabel{15, 0}; // "L(mm)", from the axis's top end
};

// The bitmap report's pages, 1030 × 1400 pixels: its sizes are those of the pictures on them.
inline const WaveTrainPictureLayout kBitmapPageLayout{};
// The printed pages, in the printer's pixels (at scale 1): the sizes the printed report has
// always had. A printer may instead take kBitmapPageLayout at the scale of its resolution
// to the bitmap page's, for a picture in proportion to the bitmap report's.
inline const WaveTrainPictureLayout kPrinterPageLayout{250, 15, 110, 45, 3, 40, {120, 10}};

// The report picture of points first … last into `rect` (left, top, right = left + width,
// bottom = top + height), first point at the top, with the layout's sizes. The amplitude
// scale comes from the whole line. Draws nothing and returns false for an empty or invalid
// range.
bool WaveTrainPicture(QPainter& painter, const QRect& rect, const WaveTrainInput& input,
                      std::int32_t first, std::int32_t last, const WaveTrainPictureLayout& layout,
                      const DisplayStyle& style);

// The row height that fits n points into a pane `paneHeight` px high: trunc(height / n), at
// least 1; `rowHeight` unchanged for an empty line.
std::int32_t fitTrainRowHeight(double paneHeight, std::int32_t pointCount, std::int32_t rowHeight);

// n·h, the view's scroll range.
std::int32_t trainContentHeight(std::int32_t pointCount, std::int32_t rowHeight);

// The point of the row under a click `y` px below the pane's top:
// n − trunc((y + scroll) / h) − 1; none outside the line.
std::optional<std::int32_t> trainPointAt(double y, std::int32_t scroll, std::int32_t rowHeight,
                                         std::int32_t pointCount);

// Up selects the next point (the row above), Down the previous one, kept within the line.
enum class TrainKey { Up, Down };
std::int32_t trainPointAfterKey(std::int32_t current, std::int32_t pointCount, TrainKey key);

} // namespace crackdepth::draw
