#include "report/report_content.h"

#include "core/analysis/transit_time.h"
#include "core/common/numbers.h"
#include "core/common/utf.h"
#include "core/document/checks/measurement_checks.h"
#include "core/document/model/line_table.h"
#include "core/document/model/line_tabs.h"

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
    // The panel's "%.2f(mm)" without its unit.
    crack.crackDepth = withoutLastUnits(result.crackDepthText, 4);

    const ReversalPoint reversal = reversalOf(header);
    crack.rows.reserve(longer.size());
    for (std::size_t k = 0; k < longer.size(); ++k) {
        ReportRow& row = crack.rows.emplace_back();
        row.number = std::to_string(k + 1);
        row.distance = truncatedText(longer[k].distance);
        row.crossingTime = row.nonCrossingTime = row.reversal = row.status = row.depth =
            row.crossingDistance = row.nonCrossingDistance = kNoValueText;
        if (k < crossing.size()) {
            row.crossingDistance = truncatedText(crossing[k].distance);
            row.crossingTime = reportTimeText(crossing[k], crossingLine.corrections);
            row.reversal = reversal.set && static_cast<std::int64_t>(k) == reversal.index
                               ? kReversalYes
                               : kReversalNo;
        }
        if (k < result.points.size()) {
            row.status = usageText(result, k);
            row.depth = result.points[k].depthText;
        }
        if (k < nonCrossing.size()) {
            row.nonCrossingDistance = truncatedText(nonCrossing[k].distance);
            row.nonCrossingTime = reportTimeText(nonCrossing[k], nonCrossingLine.corrections);
        }
        // A row may pair the two lines' points only where they lie at the distance it shows.
        if (k < crossing.size() && k < nonCrossing.size() &&
            row.crossingDistance != row.nonCrossingDistance) {
            crack.sharedDistances = false;
        }
    }
    return crack;
}

} // namespace

PointTable standardTable(const CrackReport& crack) {
    if (crack.sharedDistances) {
        return {{4, 4, 4, 4, 2}, {"测点", "测距(mm)", "跨缝T(us)", "不跨缝T(us)", "反相点"}};
    }
    return {{2, 4, 3, 4, 3, 2},
            {"测点", "跨缝测距(mm)", "跨缝T(us)", "不跨缝测距(mm)", "不跨缝T(us)", "反相点"}};
}

std::vector<std::string> standardCells(const CrackReport& crack, const ReportRow& r) {
    if (crack.sharedDistances) {
        return {r.number, r.distance, r.crossingTime, r.nonCrossingTime, r.reversal};
    }
    return {r.number,          r.crossingDistance, r.crossingTime, r.nonCrossingDistance,
            r.nonCrossingTime, r.reversal};
}

PointTable simpleTable(const CrackReport& crack) {
    if (crack.sharedDistances) {
        return {{2, 3, 4, 2, 3, 4},
                {"测点序号", "测距(mm)", "不跨缝声时(us)", "跨缝声时(us)", "保留标志", "缝深(mm)"}};
    }
    return {{2, 3, 3, 3, 3, 2, 2},
            {"测点序号", "不跨缝测距(mm)", "不跨缝声时(us)", "跨缝测距(mm)", "跨缝声时(us)",
             "保留标志", "缝深(mm)"}};
}

std::vector<std::string> simpleCells(const CrackReport& crack, const ReportRow& r) {
    if (crack.sharedDistances) {
        return {r.number, r.distance, r.nonCrossingTime, r.crossingTime, r.status, r.depth};
    }
    return {r.number,
            r.nonCrossingDistance,
            r.nonCrossingTime,
            r.crossingDistance,
            r.crossingTime,
            r.status,
            r.depth};
}

std::vector<std::string> checkRowsOf(const CrackReport& crack) {
    if (crack.checks.empty()) {
        return {kNoChecksText};
    }
    return crack.checks;
}

LineCounts ReportContent::counts(ReportStyle style, bool checks) const {
    LineCounts counts;
    counts.nonCrossing = nonCrossingPoints;
    for (std::size_t i = 0; i < cracks.size(); ++i) {
        // A wave-train block draws its own line's points; a crack's table has a row for every
        // point of the longer line.
        const bool ownLine = style == ReportStyle::WaveTrain && i + 1 < lines.size();
        counts.crossing.push_back(static_cast<std::int64_t>(
            ownLine ? lines[i + 1].train.traces.size() : cracks[i].rows.size()));
        if (checks) {
            counts.checks.push_back(
                std::max<std::int64_t>(1, static_cast<std::int64_t>(cracks[i].checks.size())));
        }
    }
    if (style == ReportStyle::WaveTrain && !lines.empty()) {
        counts.nonCrossing = static_cast<std::int64_t>(lines[0].train.traces.size());
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

    const std::vector<MeasurementCheck> checks = CheckMeasurement(data, analysis);
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
        for (const MeasurementCheck& check : checks) {
            if (check.line == 0 || check.line == tab) {
                content.cracks.back().checks.push_back(check.message);
            }
        }
        content.lines.push_back(
            {nameOf(header), header.note, draw::waveTrainInputOf(line, corrections, true)});
    }
    return content;
}

} // namespace crackdepth::report
