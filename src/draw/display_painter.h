// The painter set up for one display at the style's scale, so that every display draws in
// screen pixels whatever the device: a widget, a 300-dpi printer page or a bitmap page.
#pragma once

#include "draw/display_style.h"

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace crackdepth::draw {

// Clips the painter to the display's rectangle, draws line art without antialiasing (a 1-bit
// bitmap has no grey, and pixel-aligned lines stay crisp) and scales it by the style: one
// unit is one screen pixel, `scale` device pixels wide. A line at a whole coordinate covers
// exactly the device pixels of that screen pixel, as a one-pixel line does on the screen, so
// that a drawing at scale 4 is the screen drawing with every pixel four times as large.
// Restores the painter on destruction.
class DisplayPainter {
public:
    // `deviceRect` is in the painter's coordinates as the caller hands it over: the device's
    // pixels, or a report page's own units.
    DisplayPainter(QPainter& painter, const QRectF& deviceRect, const DisplayStyle& style);
    ~DisplayPainter();
    DisplayPainter(const DisplayPainter&) = delete;
    DisplayPainter& operator=(const DisplayPainter&) = delete;

    // The display's rectangle in screen pixels.
    const QRectF& rect() const { return rect_; }

    // An area given by the edges of its pixels (x … x + width), filled or clipped to; lines
    // run through the middle of their pixels, areas do not.
    void fill(const QRectF& area, const QColor& color) const;
    void clip(const QRectF& area) const;

private:
    QPainter& painter_;
    QRectF rect_;
    double lineOffset_ = 0;
};

} // namespace crackdepth::draw
