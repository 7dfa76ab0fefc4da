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

// The last pixel column and row of a plot whose frame lies on its outermost pixels.
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

// A label in `box`, its font shrunk until it fits the box's width.
void drawLabel(QPainter& painter, const QRectF& box, int flags, const QString& text) {
    painter.setFont(fittedFont(axisFont(), text, box.width()));
    painter.drawText(box, flags, text);
}

double labelWidth(const QString& text) {
    return QFontMetricsF(axisFont()).horizontalAdvance(text);
}

// The box of a label centred under x, moved inside [minX, maxX] when it would stick out.
QRectF centredLabelBox(const QString& text, double x, double top, double minX, double maxX) {
    const double width = labelWidth(text) + 1;
    const double left = std::clamp(x - width / 2, minX, std::max(minX, maxX - width));
    return {left, top, width, kLabelHeight};
}

void drawTitleBar(QPainter& painter, const QRectF& titleBar, const QStringList& texts,
                  const DisplayStyle& style) {
    painter.fillRect(titleBar, panelOf(style));
    painter.setPen(penOf(style, kInkColor));
    for (const PlacedText& text : layoutReadouts(titleBar, texts, fontOf(kTimes, kReadoutPixels))) {
        painter.setFont(text.font);
        painter.drawText(text.box, Qt::AlignLeft | Qt::AlignVCenter, text.text);
    }
}

void drawFrame(QPainter& painter, const QRectF& plot, const DisplayStyle& style) {
    painter.fillRect(plot, kPaperColor);
    painter.setPen(penOf(style, kInkColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(plot.left(), plot.top(), plot.width() - 1, plot.height() - 1));
}

void drawArrowRight(QPainter& painter, const QPointF& tip) {
    painter.drawLine(tip, tip + QPointF(-kArrowLength, -kArrowHalfWidth));
    painter.drawLine(tip, tip + QPointF(-kArrowLength, kArrowHalfWidth));
}

void drawArrowUp(QPainter& painter, const QPointF& tip) {
    painter.drawLine(tip, tip + QPointF(-kArrowHalfWidth, kArrowLength));
    painter.drawLine(tip, tip + QPointF(kArrowHalfWidth, kArrowLength));
}

// A full-height marker line at pixel column x, inside the frame.
void drawMarker(QPainter& painter, const QRectF& plot, double x, const QPen& pen) {
    painter.setPen(pen);
    painter.drawLine(QPointF(x, plot.top() + 1), QPointF(x, lastRow(plot) - 1));
}

bool insideColumns(const QRectF& plot, double x) {
    return x > plot.left() && x < lastColumn(plot);
}

// The vertical axis at `x` with its arrow, from the bottom of the plot to near its top.
void drawVerticalAxis(QPainter& painter, const QRectF& plot, double x) {
    const QPointF tip(x, plot.top() + 3);
    painter.drawLine(QPointF(x, lastRow(plot) - 1), tip);
    drawArrowUp(painter, tip);
}

// The box of a label right-aligned against the vertical axis, centred on row y.
QRectF leftLabelBox(const QRectF& plot, double axisX, double y) {
    return {plot.left() + 1, y - kLabelHeight / 2, std::max(axisX - 2 - (plot.left() + 1), 0.0),
            kLabelHeight};
}

void drawLeftLabel(QPainter& painter, const QRectF& plot, double axisX, double y,
                   const QString& text) {
    drawLabel(painter, leftLabelBox(plot, axisX, y), Qt::AlignRight | Qt::AlignVCenter, text);
}

DisplayPainter::DisplayPainter(QPainter& painter, const QRectF& rect) : painter_(painter) {
    painter_.save();
    painter_.setClipRect(rect, Qt::IntersectClip);
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

DisplayPainter::~DisplayPainter() {
    painter_.restore();
}

} // namespace crackdepth::draw::parts
