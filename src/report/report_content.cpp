#include "report/report_content.h"

#include "core/analysis/transit_time.h"
#include "core/common/numbers.h"
#include "core/common/utf.h"
#include "core/document/line_table.h"
#include "core/document/line_tabs.h"

#include <algorithm>

namespace crackdepth::report {
namespace {

inline constexpr const char* kReversalYes = "是";
inline constexpr const char* kReversalNo = "否";

std::string nameOf(const TestParameters& header) {
    return withoutLastUnits(header.note, 4);
}

// Whole microseconds of the transit time the screen shows, pending corrections included. The
// preview and the exports fold the corrections into the waveforms first, which leaves this
// number as it is; a print without the fold still prints what the screen shows.
std::string reportTimeText(const MeasuringPoint& point, TimeCorrections corrections) {
    return truncatedText(transitTime(point, corrections.line, corrections.all).time);
}

std::string fixedOrNone(const std::optional<LineFit>& fit, float LineFit::*value) {
    return fit ? formatFixed((*fit).*value, 2) : std::string(kNoValueText);
}

// A line and the corrections its transit times take.
struct ReportedLine {
    const PointList& points;
    const TestParameters& header;
    TimeCorrections corrections;
};

CrackReport crackReportOf(const ReportedLine& crossingLine, const ReportedLine& nonCrossingLine,
                          const CrackResult& result) {
    const PointList& crossing = crossingLine.points;
    const TestParameters& header = crossingLine.header;
    const PointList& nonCrossing = nonCrossingLine.points;
    const TestParameters& nonCrossingHeader = nonCrossingLine.header;
    CrackReport crack;
    crack.crossingName = nameOf(header);
    crack.nonCrossingName = nameOf(nonCrossingHeader);
    const bool nonCrossingLonger = nonCrossing.size() > crossing.size();
    const PointList& longer = nonCrossingLonger ? nonCrossing : crossing;
    crack.longerName = nonCrossingLonger ? crack.nonCrossingName : crack.crossingName;
    // The panel's "%.2f(mm)" without its unit.
    crack.crackDepth = withoutLastUnits(result.crackDepthText, 4);

    const ReversalPoint reversal = reversalOf(header);
    crack.rows.reserve(longer.size());
    for (std::size_t k = 0; k < longer.size(); ++k) {
        ReportRow& row = crack.rows.emplace_back();
        row.number = std::to_string(k + 1);
        row.distance = truncatedText(longer[k].distance);
        row.crossingTime = row.nonCrossingTime = row.reversal = row.status = row.depth =
            kNoValueText;
        if (k < crossing.size()) {
            row.crossingTime = reportTimeText(crossing[k], crossingLine.corrections);
            row.reversal = reversal.set && static_cast<std::int64_t>(k) == reversal.index
                               ? kReversalYes
                               : kReversalNo;
        }
        if (k < result.points.size()) {
            row.status = statusText(result.points[k].status);
            row.depth = result.points[k].depthText;
        }
        if (k < nonCrossing.size()) {
            row.nonCrossingTime = reportTimeText(nonCrossing[k], nonCrossingLine.corrections);
        }
    }
    return crack;
}

} // namespace

LineCounts ReportContent::counts() const {
    LineCounts counts;
    counts.nonCrossing = nonCrossingPoints;
    for (const CrackReport& crack : cracks) {
        // The rows of a crack are those of the longer line; the non-crossing count is the
        // other bound, so this gives the same pages.
        counts.crossing.push_back(static_cast<std::int64_t>(crack.rows.size()));
    }
    return counts;
}

ReportContent BuildReportContent(const DocumentData& data, const DocumentAnalysis& analysis) {
    ReportContent content;
    content.project = data.projectInfo.texts;
    content.intercept = fixedOrNone(analysis.fit, &LineFit::A);
    content.velocity = fixedOrNone(analysis.fit, &LineFit::B);
    if (!data.nonCrossingList) {
        return content;
    }
    const PointList& nonCrossing = *data.nonCrossingList;
    content.nonCrossingPoints = static_cast<std::int64_t>(nonCrossing.size());
    draw::PlotInput plot = draw::plotInputOf(nonCrossing, data.nonCrossingParameters,
                                             data.nonCrossingCorrections(), analysis.fit);
    plot.fitRowHeight = true;
    content.plot = std::move(plot);
    content.lines.push_back(
        {nameOf(data.nonCrossingParameters), data.nonCrossingParameters.note,
         draw::waveTrainInputOf(nonCrossing, data.nonCrossingCorrections(), false)});

    const std::int32_t tabs = crossingTabCount(data);
    for (std::int32_t tab = 1; tab <= tabs; ++tab) {
        const LineId id = crossingLineOfTab(data, tab);
        const PointList& line = *data.line(id);
        const TestParameters& header = *data.header(id);
        const TimeCorrections corrections = crossingTabCorrections(data, tab);
        content.cracks.push_back(
            crackReportOf({line, header, corrections},
                          {nonCrossing, data.nonCrossingParameters, data.nonCrossingCorrections()},
                          analysis.cracks.at(static_cast<std::size_t>(tab - 1))));
        content.lines.push_back(
            {nameOf(header), header.note, draw::waveTrainInputOf(line, corrections, true)});
    }
    return content;
}

} // namespace crackdepth::report
