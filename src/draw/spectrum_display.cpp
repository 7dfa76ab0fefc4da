#include "draw/waveform_display.h"
#include "draw/waveform_parts.h"
#include "draw/waveform_readouts.h"
#include "draw/waveform_ticks.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace crackdepth::draw {
namespace {

using namespace parts;

constexpr double kLongTickLength = 6;
constexpr double kFrequencyLabelSpacing = 50; // px between numbered frequency ticks, at least

void drawFrequencyAxis(QPainter& painter, const SpectrumGeometry& g, const SpectrumInput& input) {
    const double y = g.baseY;
    painter.drawLine(QPointF(g.curveLeft, y), QPointF(g.axisEndX, y));
    drawArrowRight(painter, QPointF(g.axisEndX, y));
    drawLabel(painter, QRectF(g.axisEndX - 60, y - 3 - kLabelHeight, 60, kLabelHeight),
              Qt::AlignRight | Qt::AlignBottom, QStringLiteral("f(kHz)"));

    const double labelTop = y + 1;
    const QString zero = QStringLiteral("0");
    QRectF lastLabel = centredLabelBox(zero, g.curveLeft, labelTop, g.plot.left() + 1, g.axisEndX);
    drawLabel(painter, lastLabel, Qt::AlignHCenter | Qt::AlignTop, zero);

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
        painter.drawLine(QPointF(x, y - (tick.labelled ? kLongTickLength : kTickLength)),
                         QPointF(x, y));
        if (!tick.labelled) {
            continue;
        }
        const QString text = fixedText(tick.kHz, ticks.decimals);
        const QRectF box = centredLabelBox(text, x, labelTop, g.plot.left() + 1, lastTickX);
        if (box.left() >= lastLabel.right() + kLabelGap) {
            drawLabel(painter, box, Qt::AlignHCenter | Qt::AlignTop, text);
            lastLabel = box;
        }
    }
}

void drawPowerAxis(QPainter& painter, const SpectrumGeometry& g) {
    drawVerticalAxis(painter, g.plot, g.curveLeft);
    for (const int quarter : {1, 2, 3, 4}) {
        const double share = quarter / 4.0;
        const double y = std::round(g.baseY - share * (g.baseY - g.peakY));
        painter.drawLine(QPointF(g.curveLeft, y), QPointF(g.curveLeft + kTickLength, y));
        drawLeftLabel(painter, g.plot, g.curveLeft, y, fixedText(share, 2));
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

void drawSpectrum(QPainter& painter, const QRectF& rect, const SpectrumInput& input,
                  const DisplayStyle& style) {
    const DisplayPainter setup(painter, rect);
    const SpectrumGeometry g = spectrumGeometry(rect);
    const std::int32_t cursor = spectrumCursorBin(input);

    const bool hovering = input.hoverX && insideColumns(g.plot, *input.hoverX);
    const auto hoverBin = hovering ? spectrumBinAtX(g, *input.hoverX) : std::nullopt;
    drawTitleBar(painter, g.titleBar, spectrumReadouts(input, hoverBin.value_or(cursor)), style);
    if (g.plot.height() < 1) {
        return;
    }
    drawFrame(painter, g.plot, style);
    if (g.curveWidth < 1) {
        return;
    }
    painter.setClipRect(g.plot, Qt::IntersectClip);
    painter.setPen(penOf(style, kInkColor));
    drawFrequencyAxis(painter, g, input);
    drawPowerAxis(painter, g);

    painter.setPen(penOf(style, input.crossingLine ? kCrossingColor : kInkColor));
    painter.drawPolyline(spectrumPolyline(g, input));

    drawMarker(painter, g.plot, std::round(spectrumBinX(g, cursor)),
               markerPenOf(style, kCursorColor));
    if (hovering) {
        drawMarker(painter, g.plot, std::round(*input.hoverX), markerPenOf(style, kHoverColor));
    }
}

} // namespace crackdepth::draw
