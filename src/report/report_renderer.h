// The report pages: the frame every printed page has (header, footer, page number), the title
// band and the ruled body of the three styles, drawn on any painter from the report's content.
// The same drawing serves the printer, the preview, the PDF file and the bitmap pages.
#pragma once

#include "core/data/print_settings.h"
#include "report/page_geometry.h"
#include "report/report_content.h"
#include "report/report_pagination.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QPainter;

namespace crackdepth::report {

inline constexpr const char* kReportTitle = "分析报告表";

// How pictures reach the page: drawn as vectors into their place (printer, PDF), or rendered
// at their pixel size as a black-and-white bitmap and stretched into place (bitmap pages).
enum class PictureMode { Vector, Bitmap };

// How a cell's text is set: inside an inner margin, on one line at its size when it fits,
// else on two lines when that gives the larger text, shrunk as far as it must be; never cut.
struct CellText {
    QRect inner; // the cell less its margin
    QFont font;  // the font it is drawn in
    QStringList lines;
};
CellText cellTextLayout(const QFont& font, const QRect& cell, const QString& text);

class ReportRenderer {
public:
    // `style` outside the three styles counts as the standard style.
    ReportRenderer(const ReportContent& content, const PrintSettings& settings, ReportStyle style);

    const ReportLayout& layout() const { return layout_; }
    std::int32_t pageCount() const { return layout_.pageCount; }

    // Page `page` (1-based): the frame when the geometry has its bands, then the body.
    void drawPage(QPainter& painter, const PageGeometry& geometry, std::int32_t page,
                  PictureMode pictures) const;

private:
    void drawFrame(QPainter& painter, const PageGeometry& geometry, std::int32_t page) const;
    void drawStandardPage(QPainter& painter, const PageGeometry& geometry, std::int32_t page,
                          PictureMode pictures) const;
    void drawSimplePage(QPainter& painter, const PageGeometry& geometry, std::int32_t page) const;
    void drawWaveTrainPage(QPainter& painter, const PageGeometry& geometry, std::int32_t page,
                           PictureMode pictures) const;
    bool listsChecks() const;

    const ReportContent& content_;
    const PrintSettings& settings_;
    ReportStyle style_;
    ReportLayout layout_;
};

} // namespace crackdepth::report
