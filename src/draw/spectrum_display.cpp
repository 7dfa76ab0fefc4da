// The frequency display of the waveform view: the relative power spectrum of the current
// point with its axes, cursor and read-outs.
#include "draw/display_painter.h"
#include "draw/label_space.h"
#include "draw/waveform_display.h"
#include "draw/waveform_parts.h"
#include "draw/waveform_readouts.h"
#include "draw/waveform_ticks.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace crackdepth::draw {
namespace {

using namespace parts;

constexpr double kLongTickLength = 6;
constexpr double kFrequencyLabelSpacing = 50; // px between numbered frequency ticks, at least

// The frequency axis with its ticks and title; "0" and the ticks' labels go to `labels`.
void drawFrequencyAxis(QPainter& painter, LabelSpace& space, const SpectrumGeometry& g,
                       const SpectrumInput& input, PendingLabels& labels) {
    const double y = g.baseY;
    drawAxisLine(painter, space, {QPointF(g.curveLeft, y), QPointF(g.axisEndX, y)});
    drawArrowRight(painter, space, QPointF(g.axisEndX, y));
    // Above the long ticks, so that the title never covers the tick at the end of the band.
    const double titleBottom = y - kLongTickLength - LabelSpace::kGap - 1;
    drawTitle(painter, space, QRectF(g.axisEndX - 60, titleBottom - kLabelHeight, 60, kLabelHeight),
              Qt::AlignRight | Qt::AlignBottom, QStringLiteral("f(kHz)"));

    // "0" left of the vertical axis, which runs on down to the frame.
    const double labelTop = y + 1;
    labels.push_back(
        {QRectF(g.plot.left() + 1, labelTop, g.curveLeft - 2 - (g.plot.left() + 1), kLabelHeight),
         Qt::AlignRight | Qt::AlignTop, QStringLiteral("0"), std::nullopt});

    const auto band = spectrumBinKHz(kSpectrumBins, input.refine, input.dt);
    if (!band) {
        return;
    }
    const FrequencyTicks ticks = frequencyTicks(*band, g.curveWidth, kFrequencyLabelSpacing);
    const double lastTickX = g.axisEndX - kArrowLength - 1;
    for (const FrequencyTick& tick : ticks.ticks) {
        const double x = std::round(g.curveLeft + tick.kHz / *band * g.curveWidth);
        if (x > lastTickX) {
            break;
        }
        drawAxisLine(
            painter, space,
            {QPointF(x, y - (tick.labelled ? kLongTickLength : kTickLength)), QPointF(x, y)});
        if (tick.labelled) {
            const QString text = fixedText(tick.kHz, ticks.decimals);
            labels.push_back({centredLabelBox(text, x, labelTop, g.plot.left() + 1, lastTickX),
                              Qt::AlignHCenter | Qt::AlignTop, text, std::nullopt});
        }
    }
}

// The relative-power axis with its four ticks; their labels go to `labels`, the top and the
// middle one first, where space is short.
void drawPowerAxis(QPainter& painter, LabelSpace& space, const SpectrumGeometry& g,
                   PendingLabels& labels) {
    drawVerticalAxis(painter, space, g.plot, g.curveLeft);
    const auto yOf = [&](int quarter) {
        return std::round(g.baseY - quarter / 4.0 * (g.baseY - g.peakY));
    };
    for (const int quarter : {1, 2, 3, 4}) {
        drawAxisLine(
            painter, space,
            {QPointF(g.curveLeft, yOf(quarter)), QPointF(g.curveLeft + kTickLength, yOf(quarter))});
    }
    for (const int quarter : {4, 2, 1, 3}) {
        labels.push_back(leftLabel(g.plot, g.curveLeft, yOf(quarter), fixedText(quarter / 4.0, 2)));
    }
}

QPolygonF spectrumPolyline(const SpectrumGeometry& g, const SpectrumInput& input) {
    const auto p = static_cast<std::size_t>(
        std::clamp(input.spectrum.peak, 0, std::int32_t{kSpectrumBins - 1}));
    const double peak = static_cast<double>(input.spectrum.bins[p]);
    // A constant waveform has an all-zero spectrum: drawn flat on the base line.
    const double perUnit = peak > 0 && std::isfinite(peak) ? (g.baseY - g.peakY) / peak : 0.0;
    QPolygonF line;
    line.reserve(kSpectrumBins);
    for (std::size_t k = 0; k < kSpectrumBins; ++k) {
        const double value = static_cast<double>(input.spectrum.bins[k]);
        const double y = std::isfinite(value) ? g.baseY - value * perUnit : g.baseY;
        line << QPointF(std::round(spectrumBinX(g, static_cast<double>(k))),
                        std::clamp(std::round(y), g.plot.top() + 1, lastRow(g.plot) - 1));
    }
    return line;
}

} // namespace

SpectrumGeometry spectrumGeometry(const QRectF& rect) {
    SpectrumGeometry g;
    g.titleBar =
        QRectF(rect.left(), rect.top(), rect.width(), std::min(kTitleBarHeight, rect.height()));
    g.plot = plotOf(rect);
    g.curveLeft = g.plot.left() + kAxisInset;
    g.curveWidth = std::max(rect.width() - kSpectrumReserve, 0.0);
    g.baseY = lastRow(g.plot) - kSpectrumBaseInset;
    g.peakY = g.plot.top() + kSpectrumPeakInset;
    g.axisEndX = lastColumn(g.plot) - kArrowInset;
    return g;
}

double spectrumBinX(const SpectrumGeometry& geometry, double bin) {
    return geometry.curveLeft + bin * geometry.curveWidth / static_cast<double>(kSpectrumBins);
}

std::optional<std::int32_t> spectrumBinAtX(const SpectrumGeometry& geometry, double x) {
    const auto width = static_cast<std::int64_t>(std::floor(geometry.curveWidth));
    if (width < 1 || !std::isfinite(x)) {
        return std::nullopt;
    }
    const auto offset = static_cast<std::int64_t>(std::floor(x)) -
                        static_cast<std::int64_t>(std::floor(geometry.curveLeft));
    const std::int64_t bin = (offset + 1) * static_cast<std::int64_t>(kSpectrumBins) / width;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(bin, 0, static_cast<std::int64_t>(kSpectrumBins) - 1));
}

std::optional<double> spectrumBinKHz(double bin, std::int32_t refine, float dt) {
    const double hz = binFrequencyHz(1, refine, dt);
    if (!std::isfinite(hz)) {
        return std::nullopt;
    }
    return bin * hz / 1000.0;
}

std::int32_t spectrumCursorBin(const SpectrumInput& input) {
    const std::int32_t bin = input.cursorBin.value_or(input.spectrum.peak);
    return std::clamp(bin, 0, std::int32_t{kSpectrumBins - 1});
}

void drawSpectrum(QPainter& painter, const QRectF& deviceRect, const SpectrumInput& input,
                  const DisplayStyle& style) {
    const DisplayPainter display(painter, deviceRect, style);
    const SpectrumGeometry g = spectrumGeometry(display.rect());
    const std::int32_t cursor = spectrumCursorBin(input);

    const bool hovering = input.hoverX && insideColumns(g.plot, *input.hoverX);
    const auto hoverBin = hovering ? spectrumBinAtX(g, *input.hoverX) : std::nullopt;
    drawTitleBar(painter, display, g.titleBar, spectrumReadouts(input, hoverBin.value_or(cursor)),
                 style);
    if (g.plot.height() < 1) {
        return;
    }
    LabelSpace space;
    drawFrame(painter, display, space, g.plot, style);
    if (g.curveWidth < 1) {
        return;
    }
    display.clip(g.plot);
    painter.setPen(penOf(style, kInkColor));
    PendingLabels labels;
    drawPowerAxis(painter, space, g, labels);
    drawFrequencyAxis(painter, space, g, input, labels);
    drawLabels(painter, space, labels);

    painter.setPen(penOf(style, input.crossingLine ? kCrossingColor : kInkColor));
    painter.drawPolyline(spectrumPolyline(g, input));

    drawMarker(painter, g.plot, std::round(spectrumBinX(g, cursor)),
               markerPenOf(style, kCursorColor));
    if (hovering) {
        drawMarker(painter, g.plot, std::round(*input.hoverX), markerPenOf(style, kHoverColor));
    }
}

} // namespace crackdepth::draw
