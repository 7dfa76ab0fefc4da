#include "report/report_content.h"

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

// The report's transit time carries no time correction: the report commands fold pending
// corrections into the waveforms before they draw.
std::string reportTimeText(const MeasuringPoint& point) {
    return truncatedText(static_cast<float>(point.arrivalIndex) * point.record.samplingInterval() +
                         point.delay);
}

std::string fixedOrNone(const std::optional<LineFit>& fit, float LineFit::*value) {
    return fit ? formatFixed((*fit).*value, 2) : std::string(kNoValueText);
}

CrackReport crackReportOf(const PointList& crossing, const TestParameters& header,
                          const PointList& nonCrossing, const TestParameters& nonCrossingHeader,
                          const CrackResult& result) {
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
            row.crossingTime = reportTimeText(crossing[k]);
            row.reversal = reversal.set && static_cast<std::int64_t>(k) == reversal.index
                               ? kReversalYes
                               : kReversalNo;
        }
        if (k < result.points.size()) {
            row.status = statusText(result.points[k].status);
            row.depth = result.points[k].depthText;
        }
        if (k < nonCrossing.size()) {
            row.nonCrossingTime = reportTimeText(nonCrossing[k]);
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
        {nameOf(data.nonCrossingParameters),
         draw::waveTrainInputOf(nonCrossing, data.nonCrossingCorrections(), false)});

    const std::int32_t tabs = crossingTabCount(data);
    for (std::int32_t tab = 1; tab <= tabs; ++tab) {
        const LineId id = crossingLineOfTab(data, tab);
        const PointList& line = *data.line(id);
        const TestParameters& header = *data.header(id);
        content.cracks.push_back(
            crackReportOf(line, header, nonCrossing, data.nonCrossingParameters,
                          analysis.cracks.at(static_cast<std::size_t>(tab - 1))));
        content.lines.push_back(
            {nameOf(header),
             draw::waveTrainInputOf(line, crossingTabCorrections(data, tab), true)});
    }
    return content;
}

} // namespace crackdepth::report
