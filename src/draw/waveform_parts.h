// The pieces both displays of the waveform view share: title bar, frame, axes, arrows, labels
// that fit their boxes and the painter set-up. Internal to the drawing layer.
#pragma once

#include "draw/display_style.h"

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace crackdepth::draw::parts {

inline constexpr double kArrowLength = 7;
inline constexpr double kTickLength = 4;
inline constexpr double kLabelGap = 4; // free space kept between neighbouring labels
inline constexpr double kLabelHeight = 15;

QFont axisFont();

// The last pixel column and row of a plot whose frame lies on its outermost pixels.
double lastColumn(const QRectF& plot);
double lastRow(const QRectF& plot);

// The plot below the title bar.
QRectF plotOf(const QRectF& rect);

// A label in `box`, its font shrunk until it fits the box's width.
void drawLabel(QPainter& painter, const QRectF& box, int flags, const QString& text);
double labelWidth(const QString& text);
// The box of a label centred under x, moved inside [minX, maxX] when it would stick out.
QRectF centredLabelBox(const QString& text, double x, double top, double minX, double maxX);

void drawTitleBar(QPainter& painter, const QRectF& titleBar, const QStringList& texts,
                  const DisplayStyle& style);
void drawFrame(QPainter& painter, const QRectF& plot, const DisplayStyle& style);
void drawArrowRight(QPainter& painter, const QPointF& tip);
void drawArrowUp(QPainter& painter, const QPointF& tip);

// A full-height marker line at pixel column x, inside the frame.
void drawMarker(QPainter& painter, const QRectF& plot, double x, const QPen& pen);
// Whether x lies between the frame's left and right edges.
bool insideColumns(const QRectF& plot, double x);

// The vertical axis at `x` with its arrow, from the bottom of the plot to near its top.
void drawVerticalAxis(QPainter& painter, const QRectF& plot, double x);
// The box of a label right-aligned against the vertical axis, centred on row y.
QRectF leftLabelBox(const QRectF& plot, double axisX, double y);
void drawLeftLabel(QPainter& painter, const QRectF& plot, double axisX, double y,
                   const QString& text);

// The painter set up for a display: clipped to its rectangle, line art without
// antialiasing (a 1-bit bitmap has no grey, and pixel-aligned lines stay crisp); restored
// on destruction.
class DisplayPainter {
public:
    DisplayPainter(QPainter& painter, const QRectF& rect);
    ~DisplayPainter();
    DisplayPainter(const DisplayPainter&) = delete;
    DisplayPainter& operator=(const DisplayPainter&) = delete;

private:
    QPainter& painter_;
};

} // namespace crackdepth::draw::parts
