// A paint device that records what a drawing asks for instead of rasterising it: the texts
// with the boxes of their ink, the straight lines and polylines with their pens, the filled
// areas, and every raster image. The tests check with it what pixels cannot tell apart: that a
// label keeps clear of another label or an axis, and that a drawing stays vector line art that
// a printer or a PDF file keeps sharp.
#pragma once

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTextItem>
#include <QTransform>
#include <cmath>
#include <memory>
#include <vector>

namespace crackdepth::draw::testing {

struct RecordedText {
    QString text;
    QRectF ink; // in device pixels
};

struct RecordedLine {
    QLineF line; // in device pixels
    QColor color;
};

struct Recording {
    std::vector<RecordedText> texts;
    std::vector<RecordedLine> lines; // drawLine and the edges of drawRect
    std::vector<QPolygonF> polylines;
    std::vector<double> polylineWidths; // their pens' widths in device pixels (0: cosmetic)
    std::vector<QRectF> fills;          // areas filled without an outline
    int images = 0;                     // pixmaps and images: raster content
};

class RecordingEngine final : public QPaintEngine {
public:
    explicit RecordingEngine(Recording& recording)
        : QPaintEngine(QPaintEngine::AllFeatures), recording_(recording) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& changed) override {
        const QPaintEngine::DirtyFlags dirty = changed.state();
        if (dirty & QPaintEngine::DirtyTransform) {
            transform_ = changed.transform();
        }
        if (dirty & QPaintEngine::DirtyPen) {
            pen_ = changed.pen();
        }
        if (dirty & QPaintEngine::DirtyBrush) {
            brush_ = changed.brush();
        }
    }

    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            recording_.lines.push_back({transform_.map(lines[i]), pen_.color()});
        }
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF r = rects[i];
            if (pen_.style() == Qt::NoPen) {
                recording_.fills.push_back(transform_.mapRect(r));
                continue;
            }
            const QLineF edges[] = {{r.topLeft(), r.topRight()},
                                    {r.topRight(), r.bottomRight()},
                                    {r.bottomRight(), r.bottomLeft()},
                                    {r.bottomLeft(), r.topLeft()}};
            drawLines(edges, 4);
        }
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPolygonF polygon(count);
        for (int i = 0; i < count; ++i) {
            polygon[i] = transform_.map(points[i]);
        }
        if (mode == PolylineMode) {
            recording_.polylines.push_back(polygon);
            const double scale = std::sqrt(std::abs(transform_.determinant()));
            recording_.polylineWidths.push_back(pen_.isCosmetic() ? pen_.widthF()
                                                                  : pen_.widthF() * scale);
        }
    }
    void drawPath(const QPainterPath&) override {}
    // Qt hands a text over in runs of one font each ("当前测距" and ":200.0mm"); a run that
    // starts where the previous one ended continues the same text.
    void drawTextItem(const QPointF& origin, const QTextItem& item) override {
        const QRectF ink = transform_.mapRect(
            QFontMetricsF(item.font()).tightBoundingRect(item.text()).translated(origin));
        const QPointF start = transform_.map(origin);
        const bool continues = !recording_.texts.empty() &&
                               std::abs(start.y() - textEnd_.y()) < 0.01 &&
                               std::abs(start.x() - textEnd_.x()) < 0.5;
        if (continues) {
            RecordedText& text = recording_.texts.back();
            text.text += item.text();
            text.ink = text.ink.united(ink);
        } else {
            recording_.texts.push_back({item.text(), ink});
        }
        textEnd_ = transform_.map(origin + QPointF(item.width(), 0));
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++recording_.images; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        ++recording_.images;
    }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {
        ++recording_.images;
    }

private:
    Recording& recording_;
    QTransform transform_;
    QPen pen_;
    QBrush brush_;
    QPointF textEnd_;
};

class RecordingDevice final : public QPaintDevice {
public:
    explicit RecordingDevice(QSize size) : size_(size), engine_(recording) {}

    QPaintEngine* paintEngine() const override { return &engine_; }

    Recording recording;

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return size_.width() * 254 / 960;
        case PdmHeightMM:
            return size_.height() * 254 / 960;
        case PdmNumColors:
            return 1 << 24;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    QSize size_;
    mutable RecordingEngine engine_;
};

} // namespace crackdepth::draw::testing
