#include "core/document/line_tabs.h"

#include "core/common/utf.h"

#include <algorithm>

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
        labels.push_back(labelOf(data.currentCrossingParameters));
    }
    return labels;
}

PointList* selectedLine(DocumentData& data) {
    return data.currentTab == 0 ? data.nonCrossingList.get() : data.currentCrossingList;
}

TestParameters* selectedCrossingHeader(DocumentData& data) {
    if (data.currentTab == 0 || data.currentCrossingList == nullptr) {
        return nullptr;
    }
    for (std::size_t k = 0; k < data.crossingLists.size(); ++k) {
        if (data.crossingLists[k].get() == data.currentCrossingList) {
            return &data.crossingParameters[k];
        }
    }
    // A raw file's line has no entry; its only header is the current copy.
    return &data.currentCrossingParameters;
}

void SelectTab(Document& document, std::int32_t tab) {
    DocumentData& data = document.data();
    const std::int32_t selected = std::clamp(tab, 0, crossingTabCount(data));
    data.currentTab = selected;
    if (selected == 0) {
        data.shownList = data.nonCrossingList.get();
        data.showingNonCrossing = true;
        if (document.waveTrainMode == 1) {
            document.waveTrainMode = 2;
        }
    } else {
        if (!data.crossingLists.empty()) {
            const auto entry = static_cast<std::size_t>(selected - 1);
            data.currentCrossingList = data.crossingLists[entry].get();
            data.currentCrossingParameters = data.crossingParameters[entry];
        } else {
            data.currentCrossingList = data.rawCrossingList.get();
        }
        data.shownList = data.currentCrossingList;
        data.showingNonCrossing = false;
        if (document.waveTrainMode == 2) {
            document.waveTrainMode = 1;
        }
    }
    document.RefreshAllViews();
}

ReversalPoint currentReversal(const DocumentData& data) {
    if (data.currentTab == 0 || data.currentCrossingList == nullptr) {
        return {};
    }
    const TestParameters& header = data.currentCrossingParameters;
    return {header.reversalSet() != 0, header.reversalIndex};
}

RegressionMethod currentMethod(const DocumentData& data) {
    return data.nonCrossingParameters.analysisMethod() != 0 ? RegressionMethod::TwoPoint
                                                            : RegressionMethod::Regression;
}

std::optional<LineFit> currentFit(DocumentData& data) {
    if (!data.nonCrossingList) {
        return std::nullopt;
    }
    return FitLine(*data.nonCrossingList, currentMethod(data), data.nonCrossingCorrections());
}

} // namespace crackdepth
