#include "draw/waveform_parts.h"

#include "draw/fonts.h"
#include "draw/waveform_readouts.h"

#include <QFontMetricsF>
#include <algorithm>

namespace crackdepth::draw::parts {
namespace {

constexpr int kAxisLabelPixels = 13;
constexpr int kReadoutPixels = 14;
constexpr double kArrowHalfWidth = 3;

} // namespace

QFont axisFont() {
    QFont font = fontOf(kTimes, kAxisLabelPixels);
    font.setWeight(QFont::Normal);
    return font;
}

double lastColumn(const QRectF& plot) {
    return plot.left() + plot.width() - 1;
}
double lastRow(const QRectF& plot) {
    return plot.top() + plot.height() - 1;
}

QRectF plotOf(const QRectF& rect) {
    return {rect.left(), rect.top() + kTitleBarHeight, rect.width(),
            std::max(rect.height() - kTitleBarHeight, 0.0)};
}

bool drawLabel(QPainter& painter, LabelSpace& space, const QRectF& box, int flags,
               const QString& text) {
    return drawLabelIn(painter, space, fittedFont(axisFont(), text, box.width()), box, flags, text);
}

void drawTitle(QPainter& painter, LabelSpace& space, const QRectF& box, int flags,
               const QString& text) {
    drawTitleIn(painter, space, axisFont(), box, flags, text);
}

double labelWidth(const QString& text) {
    return QFontMetricsF(axisFont()).horizontalAdvance(text);
}

QRectF centredLabelBox(const QString& text, double x, double top, double minX, double maxX) {
    const double width = labelWidth(text) + 1;
    const double left = std::clamp(x - width / 2, minX, std::max(minX, maxX - width));
    return {left, top, width, kLabelHeight};
}

void drawTitleBar(QPainter& painter, const DisplayPainter& display, const QRectF& titleBar,
                  const QStringList& texts, const DisplayStyle& style) {
    display.fill(titleBar, panelOf(style));
    painter.setPen(penOf(style, kInkColor));
    for (const PlacedText& text : layoutReadouts(titleBar, texts, fontOf(kTimes, kReadoutPixels))) {
        painter.setFont(text.font);
        painter.drawText(text.box, Qt::AlignLeft | Qt::AlignVCenter, text.text);
    }
}

void drawFrame(QPainter& painter, const DisplayPainter& display, LabelSpace& space,
               const QRectF& plot, const DisplayStyle& style) {
    display.fill(plot, kPaperColor);
    painter.setPen(penOf(style, kInkColor));
    painter.setBrush(Qt::NoBrush);
    const double right = lastColumn(plot);
    const double bottom = lastRow(plot);
    painter.drawRect(QRectF(plot.left(), plot.top(), right - plot.left(), bottom - plot.top()));
    space.reserveLine({plot.left(), plot.top(), right, plot.top()});
    space.reserveLine({plot.left(), bottom, right, bottom});
    space.reserveLine({plot.left(), plot.top(), plot.left(), bottom});
    space.reserveLine({right, plot.top(), right, bottom});
}

void drawArrowRight(QPainter& painter, LabelSpace& space, const QPointF& tip) {
    drawAxisLine(painter, space, {tip, tip + QPointF(-kArrowLength, -kArrowHalfWidth)});
    drawAxisLine(painter, space, {tip, tip + QPointF(-kArrowLength, kArrowHalfWidth)});
}

void drawArrowUp(QPainter& painter, LabelSpace& space, const QPointF& tip) {
    drawAxisLine(painter, space, {tip, tip + QPointF(-kArrowHalfWidth, kArrowLength)});
    drawAxisLine(painter, space, {tip, tip + QPointF(kArrowHalfWidth, kArrowLength)});
}

void drawMarker(QPainter& painter, const QRectF& plot, double x, const QPen& pen) {
    painter.setPen(pen);
    painter.drawLine(QPointF(x, plot.top() + 1), QPointF(x, lastRow(plot) - 1));
}

bool insideColumns(const QRectF& plot, double x) {
    return x > plot.left() && x < lastColumn(plot);
}

void drawVerticalAxis(QPainter& painter, LabelSpace& space, const QRectF& plot, double x) {
    const QPointF tip(x, plot.top() + 3);
    drawAxisLine(painter, space, {QPointF(x, lastRow(plot) - 1), tip});
    drawArrowUp(painter, space, tip);
}

QRectF leftLabelBox(const QRectF& plot, double axisX, double y) {
    const double left = plot.left() + 1 + kFrameGap;
    return {left, y - kLabelHeight / 2, std::max(axisX - 2 - left, 0.0), kLabelHeight};
}

PendingLabel leftLabel(const QRectF& plot, double axisX, double y, const QString& text) {
    return {leftLabelBox(plot, axisX, y), Qt::AlignRight | Qt::AlignVCenter, text, std::nullopt};
}

void drawLabels(QPainter& painter, LabelSpace& space, const PendingLabels& labels) {
    for (const PendingLabel& label : labels) {
        if (label.font) {
            drawLabelIn(painter, space, *label.font, label.box, label.flags, label.text);
        } else {
            drawLabel(painter, space, label.box, label.flags, label.text);
        }
    }
}

} // namespace crackdepth::draw::parts
