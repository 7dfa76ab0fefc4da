// Where report pages go: a printer or its preview, a PDF file, or one black-and-white bitmap
// file per page. Each output says how its pages are laid out and whether pictures can stay
// vectors; the report draws every page the same way on whichever it is given.
#pragma once

#include "core/common/atomic_file.h"
#include "core/data/print_settings.h"
#include "report/page_geometry.h"
#include "report/report_progress.h"
#include "report/report_renderer.h"

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;

namespace crackdepth::report {

class PageSink {
public:
    virtual ~PageSink() = default;
    virtual PageGeometry geometry(const PrintSettings& settings) const = 0;
    virtual PictureMode pictures() const = 0;
    // The painter for page `page`, or none to leave the page out.
    virtual QPainter* beginPage(std::int32_t page) = 0;
    // Finishes the page; false when it could not be written.
    virtual bool endPage(std::int32_t page) = 0;
};

// A printer, a print preview or a PDF writer: pages laid out by the print settings on the
// device's paper within its printable area, pictures as vectors.
class PagedDeviceSink : public PageSink {
public:
    explicit PagedDeviceSink(QPagedPaintDevice& device);
    PageGeometry geometry(const PrintSettings& settings) const override;
    PictureMode pictures() const override { return PictureMode::Vector; }
    QPainter* beginPage(std::int32_t page) override;
    bool endPage(std::int32_t page) override;
    // Ends the painting; false when the device failed.
    bool finish();

    DeviceMetrics metrics() const;

private:
    QPagedPaintDevice& device_;
    std::unique_ptr<QPainter> painter_;
    bool started_ = false;
};

// The bitmap report: each page on a 1030 × 1400 white canvas, written as a black-and-white
// bitmap file to the path `pathOf` gives (none skips the page); `written` hears of each write.
class BitmapPageSink : public PageSink {
public:
    using PathOf = std::function<std::optional<std::filesystem::path>(std::int32_t page)>;
    using Written = std::function<void(std::int32_t page, const std::filesystem::path& path,
                                       const WriteOutcome& outcome)>;
    BitmapPageSink(PathOf pathOf, Written written);
    PageGeometry geometry(const PrintSettings& settings) const override;
    PictureMode pictures() const override { return PictureMode::Bitmap; }
    QPainter* beginPage(std::int32_t page) override;
    bool endPage(std::int32_t page) override;

private:
    PathOf pathOf_;
    Written written_;
    std::filesystem::path path_;
    QImage canvas_;
    std::unique_ptr<QPainter> painter_;
};

struct RenderSummary {
    std::int32_t pages = 0;   // the report's pages
    std::int32_t written = 0; // pages that reached the output
    std::int32_t skipped = 0;
    std::int32_t failed = 0;
    bool cancelled = false; // stopped through the progress before its last page
};

// Pages first … last (1-based, within the report) of the report to the sink.
RenderSummary RenderPages(const ReportRenderer& renderer, const PrintSettings& settings,
                          PageSink& sink, std::int32_t first, std::int32_t last,
                          const ReportProgress& progress = {});
RenderSummary RenderPages(const ReportRenderer& renderer, const PrintSettings& settings,
                          PageSink& sink);

} // namespace crackdepth::report
