#include "report/report_pdf.h"

#include "report/page_sink.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

namespace crackdepth::report {

WriteOutcome WritePdfReport(const ReportRenderer& renderer, const PrintSettings& settings,
                            const std::filesystem::path& path, const QPageSize& pageSize,
                            const ReportProgress& progress) {
    // The file appears only once every page is in it; a failed export leaves what was there.
    QSaveFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, "cannot create " + path.string() + ": " + file.errorString().toStdString()};
    }
    RenderSummary summary;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("crackdepth"));
        writer.setTitle(QString::fromUtf8(kReportTitle));
        // The margins are the print settings': the paper has no unprintable edge.
        writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        PagedDeviceSink sink(writer);
        summary = RenderPages(renderer, settings, sink, 1, renderer.pageCount(), progress);
        if (summary.cancelled) {
            sink.finish();
            file.cancelWriting();
            return {false, kReportCancelled};
        }
        if (!sink.finish() || summary.written != summary.pages) {
            file.cancelWriting();
            return {false, "the PDF pages could not be drawn"};
        }
    }
    if (summary.pages == 0) {
        file.cancelWriting();
        return {false, "the report has no pages: the document holds no crossing line"};
    }
    if (!file.commit()) {
        return {false, "cannot write " + path.string() + ": " + file.errorString().toStdString()};
    }
    return {true, {}};
}

} // namespace crackdepth::report
