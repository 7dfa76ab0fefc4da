#include "report/report_pictures.h"

#include "draw/display_style.h"
#include "draw/distance_time_plot.h"
#include "draw/wave_train.h"

#include <QPainter>
#include <cmath>
#include <functional>

namespace crackdepth::report {
namespace {

const draw::DisplayStyle kMonochrome{
    .monochrome = true, .scale = 1.0, .panelColor = draw::kPanelColor};
// The wave trains fill their traces as runs of pixels: a document holds hundreds of them.
const draw::DisplayStyle kMonochromeRuns{
    .monochrome = true, .scale = 1.0, .panelColor = draw::kPanelColor, .traceRuns = true};

// The image the wave-train pictures, hundreds of one size, are drawn on: one per thread. The
// picture handed out shares it until the caller drops it, which the caller does before it
// asks for the next; one kept longer is copied when the next is drawn, not overwritten.
QImage& reusedCanvas(QSize pixels, QImage::Format format) {
    thread_local QImage canvas;
    if (canvas.size() != pixels || canvas.format() != format) {
        canvas = QImage(pixels, format);
    }
    return canvas;
}

QImage drawn(QSize size, double scale, const std::function<void(QPainter&, const QRect&)>& draw,
             QImage::Format format = QImage::Format_RGB32, bool reuse = false) {
    const QSize pixels(std::max(1, static_cast<int>(std::lround(size.width() * scale))),
                       std::max(1, static_cast<int>(std::lround(size.height() * scale))));
    QImage fresh;
    QImage& image = reuse ? reusedCanvas(pixels, format) : (fresh = QImage(pixels, format));
    image.fill(Qt::white);
    if (size.isEmpty()) {
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(static_cast<double>(pixels.width()) / size.width(),
                  static_cast<double>(pixels.height()) / size.height());
    draw(painter, QRect(QPoint(0, 0), size));
    return image;
}

} // namespace

QImage plotPicture(const ReportContent& content, QSize size, double scale) {
    return drawn(size, scale, [&](QPainter& painter, const QRect& rect) {
        if (content.plot) {
            draw::drawDistanceTimePlot(painter, QRectF(rect), *content.plot, kMonochrome);
        }
    });
}

QImage waveTrainPicture(const ReportLine& line, std::int32_t first, std::int32_t last, QSize size,
                        double scale) {
    return drawn(
        size, scale,
        [&](QPainter& painter, const QRect& rect) {
            draw::WaveTrainPicture(painter, rect, line.train, first, last, draw::kBitmapPageLayout,
                                   kMonochromeRuns);
        },
        QImage::Format_Grayscale8, true);
}

} // namespace crackdepth::report
