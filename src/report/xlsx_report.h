// "输出到excel": the analysis report as a spreadsheet workbook (.xlsx). One sheet per crack,
// named after its crossing line, holding the point table, the result values and the
// distance–time plot; the first sheet, "Sheet1", repeats the last crack. Labels and names are
// text cells; values are number cells whose number format shows them as the report's text
// ("12", "169.64(mm)"), so the sheet reads as printed and formulas can use them; a value the
// report cannot give ("--.--") stays text. The file is written whole or not at all: a failed write
// leaves what was there.
#pragma once

#include "core/common/atomic_file.h"
#include "core/data/print_settings.h"
#include "report/report_content.h"
#include "report/report_progress.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace crackdepth::report {

inline constexpr const char* kFirstSheetName = "Sheet1";
inline constexpr double kXlsxColumnWidth = 16; // characters
inline constexpr double kXlsxPlotLeft = 520;   // points from the sheet's left edge
inline constexpr double kXlsxPlotTop = 20;     // points
inline constexpr double kXlsxPlotWidth = 540;  // points
inline constexpr double kXlsxPlotHeight = 335; // points

// The sheet names a workbook can hold, from the crossing lines' names in order: characters a
// sheet name cannot hold ([ ] : * ? / \ and control characters) become "_", as does an
// apostrophe at either end; a name is at most 31 characters long and never empty, and a name
// met before (letter case aside, "Sheet1" and the reserved "History" included) gets " (2)",
// " (3)", … within those 31 characters.
std::vector<std::string> sheetNamesOf(const std::vector<std::string>& lineNames);

// A report text that is a plain decimal number ("12", "-3", "169.64"): its value and its
// number of decimals. Anything else ("--.--", "1e5", " 12", "12.") is none.
struct CellNumber {
    double value = 0;
    int decimals = 0;
};
std::optional<CellNumber> cellNumberOf(std::string_view text);

WriteOutcome WriteXlsxReport(const ReportContent& content, const PrintSettings& settings,
                             const std::filesystem::path& path,
                             const ReportProgress& progress = {});

} // namespace crackdepth::report
