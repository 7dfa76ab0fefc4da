#include "report/report_exports.h"

#include "core/document/document_analysis.h"
#include "core/document/report_preparation.h"
#include "report/mono_bmp.h"
#include "report/report_content.h"
#include "report/report_pdf.h"
#include "report/report_renderer.h"

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

bool ExportPdfReport(Document& document, const PrintSettings& settings) {
    if (!PrepareReport(document)) {
        return false;
    }
    UserPrompts& prompts = document.prompts();
    const auto chosen = prompts.chooseSaveFile(kPdfFilter, proposedName(document, ".pdf"));
    if (!chosen) {
        return false;
    }
    const ReportContent content =
        BuildReportContent(document.data(), AnalyseDocument(document.data()));
    const ReportRenderer renderer(content, settings, reportStyleOf(settings));
    const WriteOutcome outcome = WritePdfReport(renderer, settings, withExtension(*chosen, ".pdf"));
    if (!outcome.ok) {
        prompts.message(std::string(kPdfFailedMessage) + outcome.error, MessageIcon::Error);
        return false;
    }
    prompts.message(kPdfWrittenMessage, MessageIcon::Information);
    return true;
}

} // namespace crackdepth::report
