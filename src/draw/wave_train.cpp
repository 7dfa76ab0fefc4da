#include "draw/wave_train.h"

#include "draw/display_painter.h"
#include "draw/fonts.h"
#include "draw/label_space.h"
#include "draw/number_text.h"
#include "draw/trace_polyline.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace crackdepth::draw {
namespace {

const QColor kCurrentTraceColor{255, 0, 0};
const QColor kArrivalColor{0, 0, 255};
constexpr double kTick = 8;
constexpr double kAxisInset = 25; // the axis, from the pane's left edge
constexpr double kLabelX = 3;     // left edge of the distance labels
constexpr double kColumnGap = 2;  // between the distance labels and the axis
constexpr int kFontPixels = 13;   // "Times New Roman" 13 px

// The largest and smallest sample over the whole line.
struct Levels {
    Sample high = kZeroLine;
    Sample low = kZeroLine;
};

Levels levelsOf(const std::vector<WaveTrace>& traces) {
    // Unsigned 16-bit extremes have no vector instruction on the baseline x86-64; moved into
    // the signed range they have, and a plain loop runs several samples a step.
    std::int16_t high = std::numeric_limits<std::int16_t>::min();
    std::int16_t low = std::numeric_limits<std::int16_t>::max();
    for (const WaveTrace& trace : traces) {
        for (const Sample value : trace.samples) {
            const auto s = static_cast<std::int16_t>(value ^ 0x8000u);
            high = std::max(high, s);
            low = std::min(low, s);
        }
    }
    const auto unsign = [](std::int16_t s) {
        return static_cast<Sample>(static_cast<std::uint16_t>(s) ^ 0x8000u);
    };
    return high < low ? Levels{} : Levels{unsign(high), unsign(low)};
}

// Px per count: h / (2M − 4096), so the largest positive peak reaches half a row above the
// centre line. A line that never rises above the zero line is drawn flat.
double amplitudeScale(std::int32_t h, const Levels& levels) {
    const int denominator = 2 * int{levels.high} - 2 * int{kZeroLine};
    return denominator > 0 ? static_cast<double>(h) / denominator : 0.0;
}

// Where the traces go: screen sample k at x = left + k·step, y limited to yMin … yMax.
struct TraceFrame {
    double left = 0;
    double step = 0;
    std::int32_t sampleCount = 0;
    double scale = 0;
    int yMin = 0;
    int yMax = 0;
    std::int32_t h = 0;
};

// The pixel offset from the centre line of a sample value. Worked out once per paint for every
// value of the line's range when the traces look up more samples than the range has values
// (a real line: 12-bit samples, hundreds of traces), and per sample otherwise (a few traces
// spread over the whole 16-bit range), where filling the table would cost more than it saves.
class SampleOffsets {
public:
    SampleOffsets(const Levels& levels, double scale, std::int64_t lookups)
        : low_(std::min(levels.low, kZeroLine)), scale_(scale) {
        const auto values = static_cast<std::int64_t>(std::max(levels.high, kZeroLine) - low_ + 1);
        if (values <= lookups) {
            offsets_.resize(static_cast<std::size_t>(values));
            for (std::size_t i = 0; i < offsets_.size(); ++i) {
                offsets_[i] = offsetOf(low_ + static_cast<int>(i));
            }
        }
    }
    int operator()(Sample value) const {
        return offsets_.empty() ? offsetOf(value)
                                : offsets_[static_cast<std::size_t>(value - low_)];
    }

private:
    int offsetOf(int value) const {
        // Within ±1e8 px: beyond any device, and the sum with a centre stays an int.
        return roundToPixel(std::clamp((int{kZeroLine} - value) * scale_, -1e8, 1e8));
    }

    int low_;
    double scale_;
    std::vector<int> offsets_;
};

// Rows at most this high draw their traces as runs of pixels on a pixel device (see
// TraceDrawer); higher rows, and every drawing for a printer or a PDF file, as polylines.
constexpr std::int32_t kThinRowHeight = 4;

// Whether the painter's units are the device's pixels on a whole-pixel grid, so that a run of
// pixels filled is exactly what a one-pixel pen would cover.
bool paintsWholePixels(const QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    const QTransform& transform = painter.deviceTransform();
    return engine != nullptr && engine->type() == QPaintEngine::Raster &&
           transform.type() <= QTransform::TxTranslate &&
           transform.dx() == std::round(transform.dx()) &&
           transform.dy() == std::round(transform.dy());
}

// Device pixels per unit where the painter paints on an image at a whole number of them each
// way, from a whole-pixel origin, and its pen of `width` units is one or two device pixels
// wide; 0 elsewhere. Runs widened to a wider pen are the line drawn with a square brush, which
// grows bolder than the stroke on slopes, and an odd pen's edges run through pixel centres,
// where the stroke's own rounding decides.
int wholePixelScale(const QPainter& painter, double width) {
    const QPaintEngine* engine = painter.paintEngine();
    const QTransform& transform = painter.deviceTransform();
    const double scale = transform.m11();
    const double pen = width * scale;
    const bool whole = engine != nullptr && engine->type() == QPaintEngine::Raster &&
                       transform.type() <= QTransform::TxScale && scale == transform.m22() &&
                       scale >= 1 && scale == std::round(scale) && (pen == 1 || pen == 2) &&
                       transform.dx() == std::round(transform.dx()) &&
                       transform.dy() == std::round(transform.dy());
    return whole ? static_cast<int>(scale) : 0;
}

// The style's trace width; one pixel for a width that is not a positive number.
double traceWidthOf(const DisplayStyle& style) {
    const double width = style.tracePenWidth;
    return std::isfinite(width) && width > 0 ? width : 1.0;
}

class TraceDrawer {
public:
    TraceDrawer(QPainter& painter, const TraceFrame& frame, const Levels& levels,
                const WaveTrainInput& input, const DisplayStyle& style)
        : painter_(painter), frame_(frame),
          offsets_(levels, frame.scale,
                   static_cast<std::int64_t>(input.traces.size()) * std::max(frame.sampleCount, 0)),
          tracePen_(
              penOf(style, input.crossingLine ? kCrossingColor : kInkColor, traceWidthOf(style))),
          currentPen_(penOf(style, kCurrentTraceColor, traceWidthOf(style))),
          arrivalPen_(penOf(style, kArrivalColor, traceWidthOf(style))),
          inRuns_(frame.h <= kThinRowHeight && traceWidthOf(style) == 1.0 &&
                  paintsWholePixels(painter)) {
        if (!inRuns_ && style.traceRuns && traceWidthOf(style) == 1.0) {
            runScale_ = wholePixelScale(painter, 1.0);
            inRuns_ = runScale_ > 0;
        }
        if (runScale_ > 1) {
            const QTransform& device = painter.deviceTransform();
            runOrigin_ = QPoint(static_cast<int>(device.dx()), static_cast<int>(device.dy()));
        }
    }

    // Draws a trace on the centre line `centre` (whole pixels). Thin rows other than the
    // current one are only collected, for finish() to draw them all at once.
    void draw(const WaveTrace& trace, int centre, bool current) {
        const auto a = std::int64_t{trace.offset};
        const auto size = static_cast<std::int64_t>(trace.samples.size());
        const auto yOf = [&](std::int32_t k) {
            const std::int64_t index = k - a;
            const Sample v = index >= 0 && index < size
                                 ? trace.samples[static_cast<std::size_t>(index)]
                                 : kZeroLine;
            return std::clamp(centre + offsets_(v), frame_.yMin, frame_.yMax);
        };
        buildTracePolyline(line_, frame_.sampleCount, frame_.left, frame_.step, yOf);
        const bool collected = inRuns_ && !current;
        if (collected && runScale_ > 1) {
            // The polyline on the device's pixels, its runs as a one-pixel pen covers them,
            // each widened to the pen's s pixels, s/2 on either side of the line, as the
            // stroke covers them.
            for (QPoint& p : line_) {
                p = p * runScale_ + runOrigin_;
            }
            const std::size_t from = runs_.size();
            appendPixelRuns(runs_, line_);
            const int half = runScale_ / 2;
            for (std::size_t k = from; k < runs_.size(); ++k) {
                QRect& run = runs_[k];
                run.adjust(-half, -half, runScale_ - 1 - half, runScale_ - 1 - half);
            }
        } else if (collected) {
            appendPixelRuns(runs_, line_);
        } else {
            painter_.setPen(current ? currentPen_ : tracePen_);
            painter_.drawPolyline(line_.data(), static_cast<int>(line_.size()));
        }

        // The first arrival, over the middle third of the row.
        const std::int64_t arrival = trace.arrivalIndex + a;
        if (arrival >= 0 && arrival < frame_.sampleCount) {
            const double x = std::round(frame_.left + static_cast<double>(arrival) * frame_.step);
            const double reach = frame_.h / 6.0;
            const QLineF marker(x, centre - reach, x, centre + reach);
            if (collected) {
                arrivals_.push_back(marker);
            } else {
                painter_.setPen(arrivalPen_);
                painter_.drawLine(marker);
            }
        }
    }

    // Draws the collected traces, then their arrivals. A thousand rows of a pixel or two are
    // mostly long flat runs: filled as rectangles they cost a fraction of stroking them pixel
    // by pixel, and one call each saves a change of pen per row.
    void finish() {
        if (!runs_.empty()) {
            painter_.save();
            if (runScale_ > 1) {
                painter_.resetTransform(); // the runs are in device pixels
            }
            painter_.setPen(Qt::NoPen);
            painter_.setBrush(tracePen_.color());
            painter_.drawRects(runs_.data(), static_cast<int>(runs_.size()));
            painter_.restore();
            runs_.clear();
        }
        if (!arrivals_.empty()) {
            painter_.setPen(arrivalPen_);
            painter_.drawLines(arrivals_.data(), static_cast<int>(arrivals_.size()));
            arrivals_.clear();
        }
    }

private:
    QPainter& painter_;
    TraceFrame frame_;
    SampleOffsets offsets_;
    QPen tracePen_;
    QPen currentPen_;
    QPen arrivalPen_;
    bool inRuns_;
    int runScale_ = 1;             // device pixels per unit of the runs
    QPoint runOrigin_;             // where the device puts the origin, when runScale_ > 1
    std::vector<QPoint> line_;     // reused from trace to trace
    std::vector<QRect> runs_;      // the collected traces' pixels
    std::vector<QLineF> arrivals_; // the collected traces' arrival marks
};

// Rows a trace can reach beyond its own, from the line's extremes (a damaged file's samples
// can swing over many rows): traces of rows out of view may still draw into it.
std::int64_t reachInRows(const Levels& levels, double scale, std::int32_t h) {
    const double counts =
        std::max(int{levels.high} - int{kZeroLine}, int{kZeroLine} - int{levels.low});
    return static_cast<std::int64_t>(std::ceil(counts * scale / std::max(h, 1))) + 1;
}

// The distance labels of the rows: in the column from `left` to 2 px before the axis, all in one
// font shrunk until the widest distance fits, on every `every`-th row so that labels keep
// clear of each other where the rows are lower than the text.
struct DistanceLabels {
    QFont font;
    double left = 0;
    double width = 0;
    double height = 0;
    std::int64_t every = 1;

    DistanceLabels(const std::vector<WaveTrace>& traces, const QFont& base, double labelLeft,
                   double axisX, std::int32_t rowHeight)
        : left(labelLeft), width(std::max(axisX - kColumnGap - labelLeft, 0.0)) {
        float low = 0;
        float high = 0;
        for (const WaveTrace& trace : traces) {
            if (std::isfinite(trace.distance)) {
                low = std::min(low, trace.distance);
                high = std::max(high, trace.distance);
            }
        }
        font = fittedFontForAll(base, {fixedText(low, 0), fixedText(high, 0)}, width);
        height = QFontMetricsF(font).height();
        every = rowHeight > 0
                    ? std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(
                                                    (height + LabelSpace::kGap) / rowHeight)))
                    : static_cast<std::int64_t>(traces.size()) + 1;
    }

    void draw(QPainter& painter, LabelSpace& space, const WaveTrace& trace, double top) const {
        drawLabelIn(painter, space, font, QRectF(left, top, width, height),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    fittedText(font, fixedText(trace.distance, 0), width));
    }
};

// "L(mm)" on a patch of paper, drawn after the traces: the top trace passes under it, so the
// title stays legible however that trace swings.
void drawTitleOnPaper(QPainter& painter, const DisplayPainter& display, const QFont& font,
                      QPointF topLeft) {
    const QString title = QStringLiteral("L(mm)");
    const QRectF box(topLeft, QSizeF(0, 0));
    const int flags = Qt::AlignLeft | Qt::AlignTop;
    const QRectF ink = inkBoxOf(font, box, flags, title);
    display.fill(QRectF(QPointF(std::floor(ink.left()) - 1, std::floor(ink.top()) - 1),
                        QPointF(std::ceil(ink.right()) + 1, std::ceil(ink.bottom()) + 1)),
                 kPaperColor);
    painter.setFont(font);
    painter.drawText(box, flags | Qt::TextDontClip | Qt::TextSingleLine, title);
}

} // namespace

void drawWaveTrain(QPainter& painter, const QRectF& devicePane, const WaveTrainInput& input,
                   const DisplayStyle& style) {
    const DisplayPainter display(painter, devicePane, style);
    const QRectF& pane = display.rect();
    display.fill(pane, kPaperColor);
    painter.setBrush(Qt::NoBrush);

    const auto n = static_cast<std::int64_t>(input.traces.size());
    const std::int32_t h = std::max(input.rowHeight, 1);
    const double rowsTop = pane.top() - input.scroll;
    const double axisX = pane.left() + kAxisInset;
    const auto centreOf = [&](std::int64_t r) {
        return rowsTop + static_cast<double>(r * h) + static_cast<double>(h / 2);
    };
    // Trace centre lines on whole pixels (rows far out of view are never drawn).
    const auto traceCentreOf = [&](std::int64_t r) {
        return static_cast<int>(std::clamp(std::floor(centreOf(r)), -1e9, 1e9));
    };
    const auto firstInView = static_cast<std::int64_t>(std::floor((pane.top() - rowsTop) / h));
    const auto lastInView = static_cast<std::int64_t>(std::floor((pane.bottom() - rowsTop) / h));

    // Axis and distance labels, thinned out when the rows are lower than the text.
    painter.setPen(penOf(style, kInkColor));
    const double rowsBottom = rowsTop + static_cast<double>(n * h);
    LabelSpace space;
    drawAxisLine(painter, space, QLineF(axisX, rowsTop, axisX, rowsBottom));
    const DistanceLabels labels(input.traces, fontOf(kTimes, kFontPixels), pane.left() + kLabelX,
                                axisX, h);
    // Rows just out of view whose labels still reach into it.
    const std::int64_t labelReach = labels.every + 1;
    for (std::int64_t r = std::max<std::int64_t>(firstInView - labelReach, 0);
         r <= std::min(lastInView + labelReach, n - 1); ++r) {
        const std::int64_t i = n - 1 - r;
        const double y = centreOf(r);
        drawAxisLine(painter, space, QLineF(axisX, y, axisX + kTick, y));
        if (i % labels.every == 0) {
            // Labels of the outer rows stay within the rows when rows are low.
            const double top =
                std::max(std::min(y - labels.height / 2, rowsBottom - labels.height), rowsTop);
            labels.draw(painter, space, input.traces[static_cast<std::size_t>(i)], top);
        }
    }

    if (input.sampleCount > 0 && n > 0) {
        const Levels levels = levelsOf(input.traces);
        TraceFrame frame;
        frame.left = axisX;
        frame.step = std::max(0.0, pane.width() - 2 * kAxisInset) / input.sampleCount;
        frame.sampleCount = input.sampleCount;
        frame.scale = amplitudeScale(h, levels);
        // Traces stay within the scrolled pane's whole height, so that scrolling only moves
        // the picture (a clamp to the visible part would flatten traces along its edges).
        const double yLimit = 1e9; // keeps far-off rows within int range
        frame.yMin = static_cast<int>(std::clamp(std::ceil(rowsTop), -yLimit, yLimit));
        frame.yMax = static_cast<int>(std::clamp(std::floor(std::max(rowsBottom, pane.bottom())),
                                                 -yLimit, yLimit)) -
                     1;
        frame.h = h;
        TraceDrawer drawer(painter, frame, levels, input, style);
        const std::int64_t reach = reachInRows(levels, frame.scale, h);
        const std::int64_t from = std::max<std::int64_t>(firstInView - reach, 0);
        const std::int64_t to = std::min(lastInView + reach, n - 1);
        const std::int64_t current = input.currentIndex;
        for (std::int64_t r = from; r <= to; ++r) {
            const std::int64_t i = n - 1 - r;
            if (i != current) {
                drawer.draw(input.traces[static_cast<std::size_t>(i)], traceCentreOf(r), false);
            }
        }
        drawer.finish();
        if (current >= 0 && current < n && n - 1 - current >= from && n - 1 - current <= to) {
            drawer.draw(input.traces[static_cast<std::size_t>(current)],
                        traceCentreOf(n - 1 - current), true);
        }
    }
    painter.setPen(penOf(style, kInkColor));
    drawTitleOnPaper(painter, display, fontOf(kTimes, kFontPixels),
                     QPointF(axisX + kTick + kColumnGap, rowsTop));
}

bool WaveTrainPicture(QPainter& painter, const QRect& deviceRect, const WaveTrainInput& input,
                      std::int32_t first, std::int32_t last, const WaveTrainPictureLayout& layout,
                      const DisplayStyle& style) {
    const auto n = static_cast<std::int64_t>(input.traces.size());
    if (first < 0 || last < first || last >= n) {
        return false;
    }
    const DisplayPainter display(painter, deviceRect, style);
    const QRectF& rect = display.rect();
    const double left = rect.left();
    const double top = rect.top();
    const double right = rect.right();
    const double bottom = rect.bottom();
    const int count = last - first + 1;
    // Rows count from the rectangle's top (the report renders into a bitmap whose top is 0).
    const auto h =
        static_cast<std::int32_t>(std::floor(std::max(rect.height() - layout.inset, 0.0) / count));
    const auto centreOf = [&](int r) {
        return static_cast<int>(std::floor(top + layout.inset)) + r * h + h / 2;
    };

    display.fill(rect, kPaperColor);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(penOf(style, kInkColor));

    const double axisX = left + layout.margin;
    LabelSpace space;
    drawAxisLine(painter, space,
                 QLineF(axisX, bottom - layout.axisOverhang, axisX, top + layout.axisOverhang));
    const DistanceLabels labels(input.traces, fontOf(kArial, layout.fontPixels),
                                left + layout.labelX, axisX, h);
    for (int r = 0; r < count; ++r) {
        const int y = centreOf(r);
        drawAxisLine(painter, space, QLineF(axisX, y, axisX + kTick, y));
        if (r % labels.every == 0) {
            labels.draw(painter, space, input.traces[static_cast<std::size_t>(first + r)],
                        y - layout.labelRaise);
        }
    }

    if (input.sampleCount > 0) {
        TraceFrame frame;
        frame.left = axisX;
        frame.step = std::max(right - axisX, 0.0) / input.sampleCount;
        frame.sampleCount = input.sampleCount;
        const Levels levels = levelsOf(input.traces);
        frame.scale = amplitudeScale(h, levels);
        frame.yMin = static_cast<int>(std::ceil(top));
        frame.yMax = static_cast<int>(std::floor(bottom)) - 1;
        frame.h = h;
        TraceDrawer drawer(painter, frame, levels, input, style);
        for (int r = 0; r < count; ++r) {
            if (first + r != input.currentIndex) {
                drawer.draw(input.traces[static_cast<std::size_t>(first + r)], centreOf(r), false);
            }
        }
        drawer.finish();
        if (input.currentIndex >= first && input.currentIndex <= last) {
            drawer.draw(input.traces[static_cast<std::size_t>(input.currentIndex)],
                        centreOf(input.currentIndex - first), true);
        }
    }
    painter.setPen(penOf(style, kInkColor));
    drawTitleOnPaper(painter, display, fontOf(kArial, layout.fontPixels),
                     QPointF(axisX, top) + layout.unitLabel);
    return true;
}

} // namespace crackdepth::draw
