// The report commands that write files: "输出到BMP", one black-and-white bitmap per page, each
// saved where the user chooses, and "输出到PDF", the whole report as one PDF file. Both settle
// the document first as every report command does, and talk to the user through the
// document's prompts.
#pragma once

#include "core/data/print_settings.h"
#include "core/document/document.h"
#include "report/page_sink.h"

namespace crackdepth::report {

inline constexpr const char* kBmpFilter = "(*.bmp)|*.bmp||";
inline constexpr const char* kPdfFilter = "PDF文件 (*.pdf)|*.pdf||";
inline constexpr const char* kPdfWrittenMessage = "导出报告到PDF成功！";
inline constexpr const char* kPdfFailedMessage = "导出报告到PDF失败：";

// The style a report is drawn in: the settings' style, the standard style for a stored value
// outside the three.
ReportStyle reportStyleOf(const PrintSettings& settings);

// One save dialog per page (cancelling one skips that page); each written page is confirmed,
// each failed one reported with "error!". Afterwards the last crossing line is selected.
RenderSummary ExportBitmapReport(Document& document, const PrintSettings& settings);

// Asks for the file, proposing the document's name with ".pdf"; false when cancelled or when
// the file could not be written (the user is told why).
bool ExportPdfReport(Document& document, const PrintSettings& settings);

} // namespace crackdepth::report
