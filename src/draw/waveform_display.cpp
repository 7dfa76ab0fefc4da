#include "draw/waveform_display.h"

#include "core/analysis/sample_index.h"
#include "core/data/amplitude.h"
#include "draw/display_painter.h"
#include "draw/label_space.h"
#include "draw/trace_polyline.h"
#include "draw/waveform_parts.h"
#include "draw/waveform_readouts.h"
#include "draw/waveform_ticks.h"

#include <QFontMetricsF>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace crackdepth::draw {
namespace {

using namespace parts;

constexpr int kMinimumLabelPixels = 9; // smaller digits are no longer legible on screen

std::size_t validCount(std::span<const Sample> samples, std::int32_t n) {
    return std::min(static_cast<std::size_t>(std::max(n, 0)), samples.size());
}

// The axis titles, placed before any label so that no label can cover them: "T(us)" above
// the tick marks and the arrowhead, "A(mv)" beside the arrowhead.
void drawTitles(QPainter& painter, LabelSpace& space, const TraceGeometry& g) {
    const double titleBottom = g.middle - kTickLength - LabelSpace::kGap - 1;
    drawTitle(painter, space, QRectF(g.axisEndX - 60, titleBottom - kLabelHeight, 60, kLabelHeight),
              Qt::AlignRight | Qt::AlignBottom, QStringLiteral("T(us)"));
    drawTitle(painter, space, QRectF(g.axisX + 6, g.plot.top() + 2, 60, kLabelHeight),
              Qt::AlignLeft | Qt::AlignTop, QStringLiteral("A(mv)"));
}

// The zero line with its ticks; the origin's and the ticks' labels go to `labels`.
void drawTimeAxis(QPainter& painter, LabelSpace& space, const TraceGeometry& g,
                  const TraceInput& input, PendingLabels& labels) {
    const double y = g.middle;
    // Drawn twice, one row apart, so the zero line stands out from the trace.
    drawAxisLine(painter, space, {QPointF(g.axisX, y), QPointF(g.axisEndX, y)});
    drawAxisLine(painter, space, {QPointF(g.axisX, y + 1), QPointF(g.axisEndX, y + 1)});
    drawArrowRight(painter, space, QPointF(g.axisEndX, y));

    const double labelTop = y + 3;
    const QString origin = fixedText(static_cast<double>(input.delay), 0);
    labels.push_back({QRectF(g.axisX + 2, labelTop, labelWidth(origin) + 1, kLabelHeight),
                      Qt::AlignLeft | Qt::AlignTop, origin, std::nullopt});
    // Where the last label went: one pushed left off the axis's end, or crowding the origin's,
    // is left out rather than printed against its neighbour.
    double previousRight = labels.back().box.right();
    if (g.pxPerUs <= 0) {
        return;
    }
    const double lastTickX = g.axisEndX - kArrowLength - 1;
    const std::vector<double> ticks = timeTickValues(input.delay, input.dt, input.sampleCount);
    if (ticks.empty()) {
        return;
    }
    // The ticks are multiples of one unit; the widest label is the last one's. A lone tick
    // keeps its label.
    const double unit = ticks.size() > 1 ? ticks[1] - ticks[0] : 0;
    const TimeTickStride stride =
        timeTickStride(unit * g.pxPerUs, labelWidth(fixedText(ticks.back(), 0)) + kMinTimeLabelGap,
                       kMinTimeTickGap);
    for (const double t : ticks) {
        const double x = std::round(g.axisX + (t - static_cast<double>(input.delay)) * g.pxPerUs);
        if (x > lastTickX) {
            break; // the rounded-up end may lie beyond the samples; the axis ends here
        }
        if (x < g.axisX) {
            continue;
        }
        const bool labelled = unit <= 0 || std::llround(t / unit) % stride.labelled == 0;
        if (!labelled && !stride.unlabelledTicks) {
            continue;
        }
        drawAxisLine(painter, space, {QPointF(x, y - kTickLength), QPointF(x, y)});
        if (!labelled) {
            continue;
        }
        // Whole numbers, printed as such at any size: a damaged file's times can lie far
        // beyond a 64-bit integer.
        const QString text = fixedText(t, 0);
        const QRectF box = centredLabelBox(text, x, labelTop, g.axisX + 2, lastTickX);
        if (box.left() < previousRight + kMinTimeLabelGap / 2) {
            continue;
        }
        previousRight = box.right();
        labels.push_back({box, Qt::AlignHCenter | Qt::AlignTop, text, std::nullopt});
    }
}

// The larger of the waveform's two excursions from the zero line, in counts: the peak's or,
// for example after an inversion, the trough's.
std::int32_t largestExcursion(std::span<const Sample> samples) {
    if (samples.empty()) {
        return 0;
    }
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    const int zero = kZeroLine;
    return std::max({int{*high} - zero, zero - int{*low}, 0});
}

// Pixels per count: the larger excursion reaches 5 px from the frame at zoom 1, so that
// neither half-wave is cut. 0 when the waveform never leaves the zero line, so that it is
// drawn flat.
double pixelsPerCount(const TraceGeometry& g, std::int32_t excursion, float zoom) {
    const double span = 2.0 * excursion;
    const double height = g.plot.height() - kTraceMargin;
    if (span <= 0 || height <= 0) {
        return 0;
    }
    return height / span * static_cast<double>(effectiveZoom(zoom));
}

// The amplitude axis with its ticks; "0" and the ticks' labels go to `labels`, the outer ones
// first.
void drawAmplitudeAxis(QPainter& painter, LabelSpace& space, const TraceGeometry& g,
                       const TraceInput& input, std::int32_t excursion, PendingLabels& labels) {
    drawVerticalAxis(painter, space, g.plot, g.axisX);
    const std::size_t zero = labels.size();
    labels.push_back(leftLabel(g.plot, g.axisX, g.middle, QStringLiteral("0")));

    const auto ticks = amplitudeTicks(excursion, input.amplitudeZoom, input.gain);
    const double perCount = pixelsPerCount(g, excursion, input.amplitudeZoom);
    if (!ticks || perCount <= 0) {
        return;
    }
    // A label in mV stands for mV·gain·2048/2000 counts.
    const double perMillivolt =
        perCount * static_cast<double>(effectiveGain(input.gain)) * 2048.0 / 2000.0;
    const double topOffset = static_cast<double>(ticks->top) * perMillivolt;
    if (!(g.middle - topOffset > g.plot.top() + 5)) {
        return;
    }
    // Labels too wide for the margin even at the smallest legible size go to the right of
    // the axis, all of them, so that the scale reads the same way from top to bottom.
    const QString widest = QString::number(-ticks->top);
    const QRectF margin = leftLabelBox(g.plot, g.axisX, g.middle);
    const QFont smallest = fittedFont(axisFont(), widest, margin.width(), kMinimumLabelPixels);
    const bool inMargin = QFontMetricsF(smallest).horizontalAdvance(widest) <= margin.width();
    // In the margin all in the size the widest needs, so that the scale reads evenly.
    const std::optional<QFont> font = inMargin ? std::optional<QFont>(smallest) : std::nullopt;
    labels[zero].font = font;
    for (const std::int64_t value : {ticks->top, ticks->half}) {
        const double offset = std::round(static_cast<double>(value) * perMillivolt);
        for (const double sign : {1.0, -1.0}) {
            const double y = g.middle - sign * offset;
            drawAxisLine(painter, space, {QPointF(g.axisX, y), QPointF(g.axisX + kTickLength, y)});
            const QString text = QString::number(static_cast<qint64>(sign) * value);
            PendingLabel label =
                inMargin ? leftLabel(g.plot, g.axisX, y, text)
                         : PendingLabel{QRectF(g.axisX + kTickLength + 2, y - kLabelHeight / 2,
                                               labelWidth(text) + 1, kLabelHeight),
                                        Qt::AlignLeft | Qt::AlignVCenter, text, std::nullopt};
            label.font = font;
            labels.push_back(label);
        }
    }
}

// The trace as a polyline from the origin, with the per-column envelope of the shared trace
// polyline once there are more samples than pixel columns.
QPolygon tracePolyline(const TraceGeometry& g, const TraceInput& input, std::int32_t excursion) {
    QPolygon line;
    const std::size_t valid = validCount(input.samples, input.sampleCount);
    const double perCount = pixelsPerCount(g, excursion, input.amplitudeZoom);
    const double top = g.plot.top() + 1;
    const double bottom = lastRow(g.plot) - 1;
    const auto yAt = [&](std::int32_t screen) {
        const std::int64_t k = static_cast<std::int64_t>(screen) - input.shift;
        if (k < 0 || static_cast<std::size_t>(k) >= valid || perCount <= 0) {
            return static_cast<int>(g.middle);
        }
        const double counts = static_cast<double>(kZeroLine) -
                              static_cast<double>(input.samples[static_cast<std::size_t>(k)]);
        return static_cast<int>(std::clamp(std::round(g.middle + perCount * counts), top, bottom));
    };
    if (g.pxPerUs > 0) {
        buildTracePolyline(line, input.sampleCount, g.axisX,
                           static_cast<double>(input.dt) * g.pxPerUs, yAt);
    }
    line.prepend(QPoint(static_cast<int>(g.axisX), static_cast<int>(g.middle)));
    return line;
}

} // namespace

TraceGeometry traceGeometry(const QRectF& rect, const TraceInput& input) {
    TraceGeometry g;
    g.titleBar =
        QRectF(rect.left(), rect.top(), rect.width(), std::min(kTitleBarHeight, rect.height()));
    g.plot = plotOf(rect);
    g.axisX = g.plot.left() + kAxisInset;
    g.middle = std::floor(g.plot.top() + g.plot.height() / 2);
    g.axisEndX = lastColumn(g.plot) - kArrowInset;
    const double span = static_cast<double>(input.dt) * static_cast<double>(input.sampleCount);
    const double width = g.plot.width() - kTimeAxisReserve;
    if (span > 0 && std::isfinite(span) && width > 0) {
        g.pxPerUs = width / span;
    }
    return g;
}

double traceSampleX(const TraceGeometry& geometry, const TraceInput& input, double screenIndex) {
    return geometry.axisX + screenIndex * static_cast<double>(input.dt) * geometry.pxPerUs;
}

std::optional<double> traceTimeAtX(const TraceGeometry& geometry, const TraceInput& input,
                                   double x) {
    if (geometry.pxPerUs <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(input.delay) + (x - geometry.axisX) / geometry.pxPerUs;
}

std::optional<std::int32_t> traceSampleAtX(const TraceGeometry& geometry, const TraceInput& input,
                                           double x) {
    const auto time = traceTimeAtX(geometry, input, x);
    if (!time) {
        return std::nullopt;
    }
    return nearestSampleIndex(*time, input.delay, input.dt, input.sampleCount);
}

std::optional<double> traceMarkerX(const TraceGeometry& geometry, const TraceInput& input,
                                   std::int64_t index) {
    const std::size_t valid = validCount(input.samples, input.sampleCount);
    if (index < 0 || static_cast<std::size_t>(index) >= valid || geometry.pxPerUs <= 0) {
        return std::nullopt;
    }
    return std::round(traceSampleX(geometry, input, static_cast<double>(index + input.shift)));
}

bool overPlot(const QRectF& rect, const QPointF& position) {
    return plotOf(rect).contains(position);
}

void drawTrace(QPainter& painter, const QRectF& deviceRect, const TraceInput& input,
               const DisplayStyle& style) {
    const DisplayPainter display(painter, deviceRect, style);
    const TraceGeometry g = traceGeometry(display.rect(), input);
    const std::size_t valid = validCount(input.samples, input.sampleCount);
    const std::int32_t excursion = largestExcursion(input.samples.first(valid));

    const bool hovering = input.hoverX && insideColumns(g.plot, *input.hoverX);
    const auto hoverSample =
        hovering ? traceSampleAtX(g, input, *input.hoverX) : std::optional<std::int32_t>{};
    drawTitleBar(painter, display, g.titleBar, traceReadouts(input, hoverSample), style);
    if (g.plot.height() < 1) {
        return;
    }
    LabelSpace space;
    drawFrame(painter, display, space, g.plot, style);
    display.clip(g.plot);
    painter.setPen(penOf(style, kInkColor));
    drawTitles(painter, space, g);
    PendingLabels labels;
    drawAmplitudeAxis(painter, space, g, input, excursion, labels);
    drawTimeAxis(painter, space, g, input, labels);
    drawLabels(painter, space, labels);

    painter.setPen(penOf(style, input.crossingLine ? kCrossingColor : kInkColor));
    painter.drawPolyline(tracePolyline(g, input, excursion));

    // The suggestion under the cursor, so that the pick stays on top where they are close.
    if (input.suggestionIndex && *input.suggestionIndex != input.arrivalIndex) {
        if (const auto x = traceMarkerX(g, input, *input.suggestionIndex)) {
            drawMarker(painter, g.plot, *x, suggestionPenOf(style));
        }
    }
    const double cursorX = traceMarkerX(g, input, input.arrivalIndex).value_or(g.axisX);
    drawMarker(painter, g.plot, cursorX, markerPenOf(style, kCursorColor));
    if (hovering) {
        drawMarker(painter, g.plot, std::round(*input.hoverX), markerPenOf(style, kHoverColor));
    }
}

} // namespace crackdepth::draw
