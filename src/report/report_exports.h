// The report commands that write files: "输出到BMP", one black-and-white bitmap per page, all
// named by one choice of the user, and "输出到PDF", "输出到word" and "输出到excel", the whole
// report as one file. All settle the document first as every report command does, and talk
// to the user through the document's prompts.
#pragma once

#include "core/data/print_settings.h"
#include "core/document/model/document.h"
#include "report/page_sink.h"
#include "report/report_progress.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace crackdepth::report {

inline constexpr const char* kBmpFilter = "(*.bmp)|*.bmp||";
inline constexpr const char* kPdfFilter = "PDF文件 (*.pdf)|*.pdf||";
inline constexpr const char* kDocxFilter = "Word文档 (*.docx)|*.docx||";
inline constexpr const char* kXlsxFilter = "Excel工作簿 (*.xlsx)|*.xlsx||";
inline constexpr const char* kPdfWrittenMessage = "导出报告到PDF成功！";
inline constexpr const char* kReportSaveFailedMessage = "文件保存失败！";

// The style a report is drawn in: the settings' style, the standard style for a stored value
// outside the three.
ReportStyle reportStyleOf(const PrintSettings& settings);

// One save dialog for the whole report: its folder and file name (without ".bmp") name the
// pages, "SITE_1.bmp", "SITE_2.bmp", … (numbers padded to the count's width, so the pages sort
// in order). Files that exist already are named in one question before any is replaced;
// the end names the folder and the pages written ("导出打印内容到BMP成功！") and any page that
// failed ("error!" with the reason). Afterwards the last crossing line is selected.
RenderSummary ExportBitmapReport(Document& document, const PrintSettings& settings);

// The page files for the file chosen in the save dialog.
std::vector<std::filesystem::path> bitmapPageFiles(const std::filesystem::path& chosen,
                                                   std::int32_t pages);

enum class ReportFile { Pdf, Docx, Xlsx };
// Told when the writing starts (true) and ends (false), for a wait cursor.
using Busy = std::function<void(bool)>;

// "输出到PDF", "输出到word", "输出到excel": asks for the file, proposing the document's name
// with the format's extension, and writes the report in the print settings' style (the
// spreadsheet has one layout). The path written; none when cancelled, or when the file could
// not be written ("文件保存失败！" with the path and the reason), or when the user stopped it
// through `progress` (then nothing is written and nothing said). The PDF is confirmed; after
// an office report the last crossing line is selected.
std::optional<std::filesystem::path> ExportReportFile(Document& document,
                                                      const PrintSettings& settings,
                                                      ReportFile kind, const Busy& busy = {},
                                                      const ReportProgress& progress = {});

} // namespace crackdepth::report
