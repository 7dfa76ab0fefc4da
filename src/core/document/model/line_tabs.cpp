#include "core/document/model/line_tabs.h"

#include "core/common/utf.h"

namespace crackdepth {
namespace {

std::string labelOf(const TestParameters& header) {
    return withoutLastUnits(header.note, 4);
}

} // namespace

std::int32_t crossingTabCount(const DocumentData& data) {
    if (!data.crossingLists.empty()) {
        return static_cast<std::int32_t>(data.crossingLists.size());
    }
    return data.rawCrossingList ? 1 : 0;
}

LineId crossingLineOfTab(const DocumentData& data, std::int32_t tab) {
    if (data.crossingLists.empty()) {
        return {LineKind::RawCrossing, 0};
    }
    return {LineKind::Crossing, static_cast<std::size_t>(tab - 1)};
}

TimeCorrections crossingTabCorrections(const DocumentData& data, std::int32_t tab) {
    const auto entry = static_cast<std::size_t>(tab - 1);
    const bool own = !data.crossingLists.empty() && entry < data.crossingCorrections.size();
    return {data.correctionAll, own ? data.crossingCorrections[entry] : 0.0f};
}

std::vector<std::string> tabLabels(const DocumentData& data) {
    std::vector<std::string> labels;
    if (!data.nonCrossingList) {
        return labels;
    }
    labels.push_back(labelOf(data.nonCrossingParameters));
    if (!data.crossingLists.empty()) {
        for (const TestParameters& header : data.crossingParameters) {
            labels.push_back(labelOf(header));
        }
    } else if (data.rawCrossingList) {
        labels.push_back(labelOf(data.rawCrossingParameters));
    }
    return labels;
}

const PointList* selectedLine(const DocumentData& data) {
    return data.currentTab == 0 ? data.nonCrossingList.get() : data.currentCrossingList();
}

ReversalPoint reversalOf(const TestParameters& header) {
    return {header.reversalSet() != 0, header.reversalIndex};
}

ReversalPoint currentReversal(const DocumentData& data) {
    if (data.currentTab == 0 || data.currentCrossingList() == nullptr) {
        return {};
    }
    return reversalOf(data.currentCrossingParameters());
}

RegressionMethod storedMethod(const TestParameters& nonCrossingHeader) {
    return nonCrossingHeader.analysisMethod() != 0 ? RegressionMethod::TwoPoint
                                                   : RegressionMethod::Regression;
}

RegressionMethod currentMethod(const DocumentData& data) {
    return storedMethod(data.nonCrossingParameters);
}

} // namespace crackdepth
