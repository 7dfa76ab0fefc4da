#include "draw/display_painter.h"

#include <cmath>

namespace crackdepth::draw {

DisplayPainter::DisplayPainter(QPainter& painter, const QRectF& deviceRect,
                               const DisplayStyle& style)
    : painter_(painter) {
    painter_.save();
    painter_.setClipRect(deviceRect, Qt::IntersectClip);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    const double scale = style.scale > 0 && std::isfinite(style.scale) ? style.scale : 1.0;
    // A one-pixel pen draws the pixel right of and below its coordinate; a wider pen is
    // centred on it. Half a pixel over, the wider pen covers the same pixel, only larger.
    lineOffset_ = scale == 1.0 ? 0.0 : 0.5;
    painter_.scale(scale, scale);
    painter_.translate(lineOffset_, lineOffset_);
    rect_ = QRectF(deviceRect.topLeft() / scale, deviceRect.size() / scale);
}

DisplayPainter::~DisplayPainter() {
    painter_.restore();
}

void DisplayPainter::fill(const QRectF& area, const QColor& color) const {
    painter_.fillRect(area.translated(-lineOffset_, -lineOffset_), color);
}

void DisplayPainter::clip(const QRectF& area) const {
    painter_.setClipRect(area.translated(-lineOffset_, -lineOffset_), Qt::IntersectClip);
}

} // namespace crackdepth::draw
