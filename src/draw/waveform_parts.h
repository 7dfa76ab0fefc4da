// The pieces both displays of the waveform view share: title bar, frame, axes, arrows and
// labels that fit their boxes and keep clear of one another. Internal to the drawing layer;
// all lengths in screen pixels (the display's painter scales them).
#pragma once

#include "draw/display_painter.h"
#include "draw/display_style.h"
#include "draw/label_space.h"

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace crackdepth::draw::parts {

inline constexpr double kArrowLength = 7;
inline constexpr double kTickLength = 4;
inline constexpr double kLabelHeight = 15;
// Room kept between two labels of the time axis, and the closest its ticks come before only
// the labelled ones are drawn.
inline constexpr double kMinTimeLabelGap = 10;
inline constexpr double kMinTimeTickGap = 4;
inline constexpr double kFrameGap = 2; // between the frame and the labels inside it

QFont axisFont();

// The last pixel column and row of a plot whose frame lies on its outermost pixels.
double lastColumn(const QRectF& plot);
double lastRow(const QRectF& plot);

// The plot below the title bar.
QRectF plotOf(const QRectF& rect);

// A label in `box`, its font shrunk until it fits the box's width; left out where it would
// touch a text or line already in `space`. Returns whether it was drawn.
bool drawLabel(QPainter& painter, LabelSpace& space, const QRectF& box, int flags,
               const QString& text);
// An axis title in the axis font, drawn in any case; the labels keep clear of it.
void drawTitle(QPainter& painter, LabelSpace& space, const QRectF& box, int flags,
               const QString& text);
double labelWidth(const QString& text);
// The box of a label centred under x, moved inside [minX, maxX] when it would stick out.
QRectF centredLabelBox(const QString& text, double x, double top, double minX, double maxX);

void drawTitleBar(QPainter& painter, const DisplayPainter& display, const QRectF& titleBar,
                  const QStringList& texts, const DisplayStyle& style);
void drawFrame(QPainter& painter, const DisplayPainter& display, LabelSpace& space,
               const QRectF& plot, const DisplayStyle& style);
void drawArrowRight(QPainter& painter, LabelSpace& space, const QPointF& tip);
void drawArrowUp(QPainter& painter, LabelSpace& space, const QPointF& tip);

// A full-height marker line at pixel column x, inside the frame.
void drawMarker(QPainter& painter, const QRectF& plot, double x, const QPen& pen);
// Whether x lies between the frame's left and right edges.
bool insideColumns(const QRectF& plot, double x);

// The vertical axis at `x` with its arrow, from the bottom of the plot to near its top.
void drawVerticalAxis(QPainter& painter, LabelSpace& space, const QRectF& plot, double x);
// The box of a label right-aligned against the vertical axis, centred on row y, kept
// kFrameGap away from the frame.
QRectF leftLabelBox(const QRectF& plot, double axisX, double y);
// A label waiting to be placed: the axes draw all their lines first, so that every label
// knows every line it must keep clear of.
struct PendingLabel {
    QRectF box;
    int flags = 0;
    QString text;
    std::optional<QFont> font; // none: the axis font, shrunk to fit the box
};
using PendingLabels = std::vector<PendingLabel>;

PendingLabel leftLabel(const QRectF& plot, double axisX, double y, const QString& text);
// Draws the labels in their order, each one that keeps clear of the lines and of the labels
// before it (drawLabel).
void drawLabels(QPainter& painter, LabelSpace& space, const PendingLabels& labels);

} // namespace crackdepth::draw::parts
