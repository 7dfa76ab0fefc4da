#include "report/report_exports.h"

#include "core/document/commands/report_preparation.h"
#include "core/document/model/document_analysis.h"
#include "report/docx_report.h"
#include "report/mono_bmp.h"
#include "report/report_content.h"
#include "report/report_pdf.h"
#include "report/report_renderer.h"
#include "report/xlsx_report.h"

#include <algorithm>
#include <filesystem>
#include <string>

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

std::vector<std::filesystem::path> bitmapPageFiles(const std::filesystem::path& chosen,
                                                   std::int32_t pages) {
    std::string stem = chosen.filename().string();
    const std::string extension = chosen.extension().string();
    if (extension.size() == 4 && (extension == ".bmp" || extension == ".BMP")) {
        stem.resize(stem.size() - 4);
    }
    const std::size_t width = std::to_string(std::max(pages, 1)).size();
    std::vector<std::filesystem::path> files;
    for (std::int32_t page = 1; page <= pages; ++page) {
        std::string number = std::to_string(page);
        number.insert(0, width - number.size(), '0');
        files.push_back(chosen.parent_path() / (stem + "_" + number + ".bmp"));
    }
    return files;
}

RenderSummary ExportBitmapReport(Document& document, const PrintSettings& settings) {
    if (!PrepareReport(document)) {
        return {};
    }
    UserPrompts& prompts = document.prompts();
    const ReportContent content =
        BuildReportContent(document.data(), AnalyseDocument(document.data()));
    const ReportRenderer renderer(content, settings, reportStyleOf(settings));
    RenderSummary summary{renderer.pageCount(), 0, renderer.pageCount(), 0};
    // Nothing written (no pages, the dialog or the replace question cancelled) counts every
    // page as skipped.
    const auto writePages = [&] {
        if (renderer.pageCount() == 0) {
            return;
        }
        const auto chosen = prompts.chooseSaveFile(kBmpFilter, proposedName(document, ".bmp"));
        if (!chosen) {
            return;
        }
        const std::vector<std::filesystem::path> files =
            bitmapPageFiles(*chosen, renderer.pageCount());
        std::string existing;
        for (const std::filesystem::path& file : files) {
            std::error_code ignored;
            if (std::filesystem::exists(file, ignored)) {
                existing += "\n" + file.filename().string();
            }
        }
        if (!existing.empty() &&
            !prompts.askOkCancel("以下文件已存在，是否替换？" + existing, MessageIcon::Warning)) {
            return;
        }
        std::string written;
        std::string failed;
        BitmapPageSink sink(
            [&](std::int32_t page) -> std::optional<std::filesystem::path> {
                return files[static_cast<std::size_t>(page - 1)];
            },
            [&](std::int32_t, const std::filesystem::path& path, const WriteOutcome& outcome) {
                if (outcome.ok) {
                    written += "\n" + path.filename().string();
                } else {
                    failed += "\n" + path.string() + "：" + outcome.error;
                }
            });
        summary = RenderPages(renderer, settings, sink);
        if (summary.written > 0) {
            prompts.message(std::string(kBmpPageWrittenMessage) + "\n" +
                                std::to_string(summary.written) + " 页已保存到 " +
                                files.front().parent_path().string() + "：" + written,
                            MessageIcon::Information);
        }
        if (summary.failed > 0) {
            prompts.message(std::string(kBmpWriteFailedMessage) + failed, MessageIcon::Error);
        }
    };
    writePages();
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
