// "输出到word": the analysis report as a word-processor document (.docx) in one of the three
// report styles. The standard style gives each crack a titled 18-column table with the
// project block, the results, the distance–time plot and the point table, each crack on a
// page of its own; the simple style one compact table per crack; the wave-train style one
// table per line holding its wave train. The pages carry the print settings' header, footer
// and page numbers as the word processor's own. The file is written whole or not at all: a
// failed write leaves what was there.
#pragma once

#include "core/common/atomic_file.h"
#include "core/data/print_settings.h"
#include "report/report_content.h"
#include "report/report_progress.h"

#include <filesystem>

namespace crackdepth::report {

// The sizes of the document: the plot as the word processor has always received it, and one
// wave-train row per point.
inline constexpr double kDocxPlotWidthMm = 310 * 25.4 / 96; // 310 × 200 screen pixels
inline constexpr double kDocxPlotHeightMm = 200 * 25.4 / 96;
inline constexpr double kDocxWaveRowMm = 7.0;
// A wave-train picture holds at most this many points, a page's worth as on the printed
// wave-train pages; a longer line continues in the next picture of its table.
inline constexpr std::int32_t kDocxWavePointsPerPicture = 29;

// The wave-train pictures are drawn on `threads` threads, one per processor for 0: the file
// is the same on any number.
WriteOutcome WriteDocxReport(const ReportContent& content, const PrintSettings& settings,
                             ReportStyle style, const std::filesystem::path& path,
                             const ReportProgress& progress = {}, unsigned threads = 0);

} // namespace crackdepth::report
