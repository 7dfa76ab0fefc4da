#include "report/report_exports.h"

#include "core/document/document_analysis.h"
#include "core/document/report_preparation.h"
#include "report/docx_report.h"
#include "report/mono_bmp.h"
#include "report/report_content.h"
#include "report/report_pdf.h"
#include "report/report_renderer.h"
#include "report/xlsx_report.h"

#include <filesystem>

namespace crackdepth::report {
namespace {

// A name typed without an extension gets the dialog's.
std::filesystem::path withExtension(const std::string& chosen, const char* extension) {
    std::filesystem::path path(chosen);
    if (!path.has_extension()) {
        path += extension;
    }
    return path;
}

std::string proposedName(const Document& document, const char* extension) {
    if (document.path().empty()) {
        return {};
    }
    return std::filesystem::path(document.path()).replace_extension(extension).string();
}

} // namespace

ReportStyle reportStyleOf(const PrintSettings& settings) {
    const std::int32_t style = settings.reportStyle;
    return style >= 0 && style <= 2 ? static_cast<ReportStyle>(style) : ReportStyle::Standard;
}

RenderSummary ExportBitmapReport(Document& document, const PrintSettings& settings) {
    if (!PrepareReport(document)) {
        return {};
    }
    UserPrompts& prompts = document.prompts();
    const ReportContent content =
        BuildReportContent(document.data(), AnalyseDocument(document.data()));
    const ReportRenderer renderer(content, settings, reportStyleOf(settings));
    BitmapPageSink sink(
        [&](std::int32_t) -> std::optional<std::filesystem::path> {
            const auto chosen = prompts.chooseSaveFile(kBmpFilter, {});
            if (!chosen) {
                return std::nullopt;
            }
            return withExtension(*chosen, ".bmp");
        },
        [&](std::int32_t, const std::filesystem::path&, const WriteOutcome& outcome) {
            // Plain message boxes, as the bitmap report has always shown them.
            prompts.message(outcome.ok ? kBmpPageWrittenMessage : kBmpWriteFailedMessage);
        });
    const RenderSummary summary = RenderPages(renderer, settings, sink);
    SelectLastCrossingLine(document);
    return summary;
}

std::optional<std::filesystem::path> ExportReportFile(Document& document,
                                                      const PrintSettings& settings,
                                                      ReportFile kind, const Busy& busy,
                                                      const ReportProgress& progress) {
    if (!PrepareReport(document)) {
        return std::nullopt;
    }
    struct Format {
        const char* filter;
        const char* extension;
    };
    const Format format = kind == ReportFile::Pdf    ? Format{kPdfFilter, ".pdf"}
                          : kind == ReportFile::Docx ? Format{kDocxFilter, ".docx"}
                                                     : Format{kXlsxFilter, ".xlsx"};
    UserPrompts& prompts = document.prompts();
    const auto chosen =
        prompts.chooseSaveFile(format.filter, proposedName(document, format.extension));
    if (!chosen) {
        return std::nullopt;
    }
    const std::filesystem::path path = withExtension(*chosen, format.extension);
    if (busy) {
        busy(true);
    }
    const ReportContent content =
        BuildReportContent(document.data(), AnalyseDocument(document.data()));
    const ReportStyle style = reportStyleOf(settings);
    bool cancelled = false;
    const ReportProgress told = [&](std::int64_t done, std::int64_t total) {
        cancelled = !goesOn(progress, done, total);
        return !cancelled;
    };
    WriteOutcome outcome;
    switch (kind) {
    case ReportFile::Pdf:
        outcome = WritePdfReport(ReportRenderer(content, settings, style), settings, path,
                                 QPageSize(QPageSize::A4), told);
        break;
    case ReportFile::Docx:
        outcome = WriteDocxReport(content, settings, style, path, told);
        break;
    case ReportFile::Xlsx:
        outcome = WriteXlsxReport(content, settings, path, told);
        break;
    }
    if (busy) {
        busy(false);
    }
    if (cancelled) {
        return std::nullopt;
    }
    if (!outcome.ok) {
        prompts.message(std::string(kReportSaveFailedMessage) + "\n" + path.string() + "\n" +
                            outcome.error,
                        MessageIcon::Error);
        return std::nullopt;
    }
    if (kind == ReportFile::Pdf) {
        prompts.message(kPdfWrittenMessage, MessageIcon::Information);
    } else {
        // The office reports end, as they always have, on the last crack.
        SelectLastCrossingLine(document);
    }
    return path;
}

} // namespace crackdepth::report
