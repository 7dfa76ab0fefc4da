#include "core/document/model/line_table.h"

#include "core/analysis/crack_evaluation.h"
#include "core/analysis/transit_time.h"
#include "core/common/conversions.h"
#include "core/data/amplitude.h"
#include "core/document/model/line_tabs.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace crackdepth {
namespace {

std::string amplitudeText(const MeasuringPoint& point, std::int32_t sampleCount) {
    const std::optional<float> db = amplitudeDb(point, sampleCount);
    return db ? formatFixed2(*db) : kNoValueText;
}

float timeOf(const MeasuringPoint& point, TimeCorrections corrections) {
    return transitTime(point, corrections.line, corrections.all).time;
}

Rgb rowBackground(std::size_t row) {
    return row % 2 == 0 ? kWhite : kLightGreen;
}

bool nearReversal(ReversalPoint reversal, std::size_t row) {
    const auto distance = static_cast<std::int64_t>(row) - reversal.index;
    return reversal.set && distance >= -1 && distance <= 1;
}

} // namespace

std::string truncatedText(float value) {
    return std::isfinite(value) ? std::to_string(truncToInt32(value)) : kNoValueText;
}

PointTable BuildScreenTable(const DocumentData& data, const std::optional<CrackResult>& result) {
    PointTable table;
    table.headers = {"测点序列", "测距(mm)", "声时(us)", kStatusHeader, "缝深(mm)", "波幅(dB)"};
    if (result) {
        table.crackDepthText = result->crackDepthText;
    }
    const PointList* line = data.shownList();
    if (line == nullptr) {
        return table;
    }
    // After a click in the distance–time plot the non-crossing line is shown under a crossing
    // tab: its rows get no statuses, which belong to the crossing line.
    const bool evaluated = result && line == data.currentCrossingList();
    const ReversalPoint reversal = evaluated ? currentReversal(data) : ReversalPoint{};
    const Rgb dataColour = result ? kOrange : kBlack;
    const TimeCorrections corrections = data.tabCorrections();
    for (std::size_t i = 0; i < line->size(); ++i) {
        const MeasuringPoint& point = (*line)[i];
        const Rgb text = nearReversal(reversal, i) ? kRed : dataColour;
        const Rgb background = rowBackground(i);
        const std::vector<std::string> texts = {
            std::to_string(i + 1),
            truncatedText(point.distance),
            truncatedText(timeOf(point, corrections)),
            evaluated ? usageText(*result, i) : kNoValueText,
            evaluated ? result->points[i].depthText : kNoValueText,
            amplitudeText(point, line->sampleCount),
        };
        std::vector<TableCell>& row = table.rows.emplace_back();
        for (const std::string& cell : texts) {
            row.push_back({cell, text, background});
        }
    }
    if (!line->empty()) {
        const auto last = static_cast<std::int32_t>(line->size()) - 1;
        table.currentRow = std::clamp(line->currentIndex, 0, last);
    }
    return table;
}

PointTable BuildReportTable(const DocumentData& data, const std::optional<CrackResult>& result) {
    PointTable table;
    table.headers = {"测点序列",    "测距(mm)", "跨缝声时(us)", "不跨缝声时(us)",
                     kStatusHeader, "缝深(mm)", "波幅(dB)"};
    const PointList* nonCrossing = data.nonCrossingList.get();
    const PointList* line = selectedLine(data);
    if (nonCrossing == nullptr || line == nullptr) {
        return table;
    }
    if (result) {
        table.crackDepthText = result->crackDepthText;
    }
    const ReversalPoint reversal = result ? currentReversal(data) : ReversalPoint{};
    const std::size_t own = line->size();
    const std::size_t other = nonCrossing->size();
    const PointList& distances = own >= other ? *line : *nonCrossing;
    // Even the non-crossing times take the selected tab's correction: the report shows the
    // times of the tab it was made from.
    const TimeCorrections corrections = data.tabCorrections();
    for (std::size_t i = 0; i < std::max(own, other); ++i) {
        std::vector<std::string> texts(7, kNoValueText);
        texts[0] = std::to_string(i + 1);
        texts[1] = truncatedText(distances[i].distance);
        if (i < own) {
            const MeasuringPoint& point = (*line)[i];
            texts[2] = truncatedText(timeOf(point, corrections));
            texts[6] = amplitudeText(point, line->sampleCount);
            if (result) {
                texts[4] = usageText(*result, i);
                texts[5] = result->points[i].depthText;
            }
        }
        if (i < other) {
            texts[3] = truncatedText(timeOf((*nonCrossing)[i], corrections));
        }
        const Rgb text = i < own && nearReversal(reversal, i) ? kRed : kOrange;
        std::vector<TableCell>& row = table.rows.emplace_back();
        for (std::size_t c = 0; c < texts.size(); ++c) {
            // The non-crossing column stands apart in every row: that line has no reversal point.
            row.push_back(c == 3 ? TableCell{texts[c], kBlack, kLightMauve}
                                 : TableCell{texts[c], text, rowBackground(i)});
        }
    }
    return table;
}

} // namespace crackdepth
