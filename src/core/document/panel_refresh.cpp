#include "core/document/panel_refresh.h"

#include "core/document/document.h"
#include "core/document/line_tabs.h"

namespace crackdepth {

PanelState panelStateOf(const DocumentData& data, const DocumentAnalysis& analysis) {
    PanelState state;
    if (data.shownList() == nullptr) {
        return state;
    }
    state.enabled = true;
    state.methodIndex = currentMethod(data) == RegressionMethod::TwoPoint ? 1 : 0;
    state.interceptText = analysis.interceptText;
    state.velocityText = analysis.velocityText;
    state.crackDepthText = analysis.crackDepthText();
    return state;
}

void ChooseAnalysisMethod(Document& document, std::int32_t index, bool reselectTab) {
    const DocumentData& data = document.data();
    if (data.shownList() == nullptr) {
        return;
    }
    // The two-point method pairs point 0 with the current point, which therefore moves off
    // point 0; undoing the choice brings the point back too.
    struct Choice {
        std::int32_t flag = 0;
        std::int32_t current = 0;
        bool operator==(const Choice&) const = default;
    };
    const PointList& line = *data.nonCrossingList;
    const std::int32_t flag = index == 1 ? 1 : 0;
    const bool movesOff = flag != 0 && line.currentIndex == 0 && line.size() >= 2;
    document.perform(std::make_unique<ValueEdit<Choice>>(
        kMethodChoiceName, DocumentChange{0, kNonCrossingLine},
        [](const DocumentData& held) {
            return Choice{held.nonCrossingParameters.lineFlag, held.nonCrossingList->currentIndex};
        },
        [](DocumentData& held, const Choice& choice) {
            held.nonCrossingParameters.lineFlag = choice.flag;
            held.nonCrossingList->currentIndex = choice.current;
        },
        Choice{flag, movesOff ? 1 : line.currentIndex}));
    if (reselectTab) {
        document.SelectTab(data.currentTab);
    }
}

void EditProjectInfo(Document& document, const ProjectInfo& after, const std::string& page,
                     std::size_t field) {
    document.perform(std::make_unique<ValueEdit<ProjectInfo>>(
        page, DocumentChange{DocumentChange::ProjectInfo},
        [](const DocumentData& data) { return data.projectInfo; },
        [](DocumentData& data, const ProjectInfo& info) { data.projectInfo = info; }, after,
        page + "#" + std::to_string(field)));
}

} // namespace crackdepth
