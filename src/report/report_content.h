// What a report shows, taken once from the document and its analysis: the project texts, the
// fit, and for every crack its names, crack depth and point rows, and the lines' waveforms for
// the wave-train pages. The page drawing reads only this, so a report can never print a number
// the screen does not show, nor change the document while it draws.
#pragma once

#include "core/data/project_info.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/document_data.h"
#include "draw/distance_time_plot.h"
#include "draw/wave_train.h"
#include "report/report_pagination.h"

#include <optional>
#include <string>
#include <vector>

namespace crackdepth::report {

// One row of a crack's point table: point k of the crossing line and point k of the
// non-crossing line. Cells past the end of a line read "--.--".
struct ReportRow {
    std::string number;              // "%d" of k + 1
    std::string distance;            // "%d" of the longer line's distance, mm
    std::string crossingDistance;    // "%d" of the crossing point's distance, or "--.--"
    std::string nonCrossingDistance; // likewise
    std::string crossingTime;        // "%d" of the transit time the screen shows, us
    std::string nonCrossingTime;     // likewise
    std::string reversal;            // "是" at the reversal point, else "否"
    std::string status;              // the crossing table's "保留标志" text
    std::string depth;               // the crossing table's "缝深(mm)" text
};

struct CrackReport {
    std::string crossingName;    // the crossing line's name without its extension: the crack's
    std::string nonCrossingName; // likewise
    std::string crackDepth;      // "12.34" or "--.--": the panel's text without "(mm)"
    std::vector<ReportRow> rows;
    // Both lines have each common point at the same distance (as printed): one distance column
    // serves both. Otherwise every row shows each line's distance beside its own time.
    bool sharedDistances = true;
    // The "测量检查" findings of this crack and of the non-crossing line; empty: none ("无").
    std::vector<std::string> checks;
};

inline constexpr const char* kChecksTitle = "测量检查";
inline constexpr const char* kNoChecksText = "无";

// A crack's point table: the widths of its cells in grid columns (18 in all), their headings
// and the texts of a row. Where the two lines' distances agree, one "测距(mm)" column; where
// they do not, each line's distance beside its own transit time.
struct PointTable {
    std::vector<std::int32_t> widths;
    std::vector<std::string> heads;
};
PointTable standardTable(const CrackReport& crack);
std::vector<std::string> standardCells(const CrackReport& crack, const ReportRow& row);
PointTable simpleTable(const CrackReport& crack);
std::vector<std::string> simpleCells(const CrackReport& crack, const ReportRow& row);

// The rows of a crack's "测量检查" block below its title: its findings, or "无".
std::vector<std::string> checkRowsOf(const CrackReport& crack);

// One line of the wave-train pages.
struct ReportLine {
    std::string name;           // without its extension
    std::string fullName;       // the stored name in full
    draw::WaveTrainInput train; // points into the document's waveforms
};

struct ReportContent {
    std::array<std::string, ProjectInfo::kTextCount> project;
    std::string intercept;               // "%.2f" of A, or "--.--"
    std::string velocity;                // "%.2f" of B, or "--.--"
    std::vector<CrackReport> cracks;     // in tab order
    std::optional<draw::PlotInput> plot; // the distance–time plot of the non-crossing line
    std::vector<ReportLine> lines;       // the non-crossing line first, then the crossing lines
    std::int64_t nonCrossingPoints = 0;

    // What the pages of `style` hold: a crack's rows (the longer line's points), or in the
    // wave-train style each line's own points; with `checks`, each crack's checks rows.
    LineCounts counts(ReportStyle style, bool checks) const;
};

// The report of the document as the screen shows it. The waveforms the wave-train pages draw
// stay in the document: it must outlive the content and not change while pages are drawn.
ReportContent BuildReportContent(const DocumentData& data, const DocumentAnalysis& analysis);

} // namespace crackdepth::report
