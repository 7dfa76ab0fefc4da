#include "report/page_sink.h"

#include "report/mono_bmp.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <algorithm>

namespace crackdepth::report {

PagedDeviceSink::PagedDeviceSink(QPagedPaintDevice& device) : device_(device) {}

DeviceMetrics PagedDeviceSink::metrics() const {
    const int resolution = device_.logicalDpiY();
    const QPageLayout layout = device_.pageLayout();
    // The painter's origin is the printable area's corner; its offset from the paper's
    // corner is what a margin can never go below.
    const QRect printable = layout.paintRectPixels(resolution);
    DeviceMetrics metrics;
    metrics.dpiX = device_.logicalDpiX();
    metrics.dpiY = resolution;
    metrics.offsetX = printable.left();
    metrics.offsetY = printable.top();
    metrics.width = printable.width();
    metrics.height = printable.height();
    return metrics;
}

PageGeometry PagedDeviceSink::geometry(const PrintSettings& settings) const {
    return PrintedPageGeometry(metrics(), settings);
}

QPainter* PagedDeviceSink::beginPage(std::int32_t) {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        painter_->begin(&device_);
    }
    // A device that would not start takes no page at all.
    if (!painter_->isActive() || (started_ && !device_.newPage())) {
        return nullptr;
    }
    started_ = true;
    painter_->setRenderHint(QPainter::Antialiasing, true);
    return painter_.get();
}

bool PagedDeviceSink::endPage(std::int32_t) {
    return painter_ && painter_->isActive();
}

bool PagedDeviceSink::finish() {
    if (!painter_) {
        return true;
    }
    return painter_->end();
}

BitmapPageSink::BitmapPageSink(PathOf pathOf, Written written)
    : pathOf_(std::move(pathOf)), written_(std::move(written)) {}

PageGeometry BitmapPageSink::geometry(const PrintSettings&) const {
    return BitmapPageGeometry();
}

QPainter* BitmapPageSink::beginPage(std::int32_t page) {
    const std::optional<std::filesystem::path> path = pathOf_(page);
    if (!path) {
        return nullptr;
    }
    path_ = *path;
    canvas_ = QImage(kBitmapPageWidth, kBitmapPageHeight, QImage::Format_RGB32);
    canvas_.fill(Qt::white);
    painter_ = std::make_unique<QPainter>(&canvas_);
    return painter_.get();
}

bool BitmapPageSink::endPage(std::int32_t page) {
    painter_.reset();
    const WriteOutcome outcome = MonoBmpWriter::write(path_, canvas_);
    if (written_) {
        written_(page, path_, outcome);
    }
    return outcome.ok;
}

RenderSummary RenderPages(const ReportRenderer& renderer, const PrintSettings& settings,
                          PageSink& sink, std::int32_t first, std::int32_t last,
                          const ReportProgress& progress) {
    RenderSummary summary;
    summary.pages = renderer.pageCount();
    first = std::max(first, 1);
    last = std::min(last, renderer.pageCount());
    for (std::int32_t page = first; page <= last; ++page) {
        QPainter* painter = sink.beginPage(page);
        if (painter == nullptr) {
            ++summary.skipped;
            continue;
        }
        renderer.drawPage(*painter, sink.geometry(settings), page, sink.pictures());
        if (sink.endPage(page)) {
            ++summary.written;
        } else {
            ++summary.failed;
        }
        if (!goesOn(progress, page - first + 1, last - first + 1)) {
            summary.cancelled = true;
            break;
        }
    }
    return summary;
}

RenderSummary RenderPages(const ReportRenderer& renderer, const PrintSettings& settings,
                          PageSink& sink) {
    return RenderPages(renderer, settings, sink, 1, renderer.pageCount());
}

} // namespace crackdepth::report
