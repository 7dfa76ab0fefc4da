#include "app/frame/report_printing.h"

#include "app/frame/report_progress_dialog.h"
#include "core/document/commands/report_preparation.h"
#include "core/document/model/document_analysis.h"
#include "report/page_sink.h"
#include "report/report_content.h"
#include "report/report_exports.h"
#include "report/report_renderer.h"

#include <QApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace crackdepth::app {
namespace {

// The printable area as the report's origin: the layout's margins are the printer's own
// minimum, and the report adds the settings' margins inside it.
void usePrintableArea(QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    printer.setFullPage(false);
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}

// While pages are drawn the pointer waits.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

report::RenderSummary printPages(const report::ReportRenderer& renderer,
                                 const PrintSettings& settings, QPrinter& printer, int first,
                                 int last, QWidget* parent) {
    const WaitCursor wait;
    ReportProgressDialog progress(parent);
    report::PagedDeviceSink sink(printer);
    const report::RenderSummary summary =
        report::RenderPages(renderer, settings, sink, first, last, progress.progress());
    if (summary.cancelled) {
        printer.abort();
    }
    sink.finish();
    return summary;
}

} // namespace

int PrintReport(Document& document, const PrintSettings& settings, QWidget* parent) {
    const report::ReportContent content =
        report::BuildReportContent(document.data(), AnalyseDocument(document.data()));
    const report::ReportRenderer renderer(content, settings, report::reportStyleOf(settings));
    if (renderer.pageCount() == 0) {
        return 0;
    }
    QPrinter printer(QPrinter::HighResolution);
    usePrintableArea(printer);
    printer.setFromTo(1, renderer.pageCount());
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, renderer.pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted) {
        return 0;
    }
    const bool range = printer.printRange() == QPrinter::PageRange;
    const int first = range ? printer.fromPage() : 1;
    const int last = range ? printer.toPage() : renderer.pageCount();
    const report::RenderSummary summary =
        printPages(renderer, settings, printer, first, last, parent);
    if (summary.written < last - first + 1 && !summary.cancelled) {
        // A printer that cannot start (or a file it cannot create) must not look like a print.
        document.prompts().message(kPrintFailedMessage, MessageIcon::Error);
    }
    return summary.written;
}

void PreviewReport(Document& document, const PrintSettings& settings, QWidget* parent) {
    if (!PrepareReport(document)) {
        return;
    }
    const report::ReportContent content =
        report::BuildReportContent(document.data(), AnalyseDocument(document.data()));
    const report::ReportRenderer renderer(content, settings, report::reportStyleOf(settings));
    QPrinter printer(QPrinter::HighResolution);
    usePrintableArea(printer);
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) {
                         usePrintableArea(*target);
                         printPages(renderer, settings, *target, 1, renderer.pageCount(), &preview);
                     });
    preview.exec();
}

} // namespace crackdepth::app
