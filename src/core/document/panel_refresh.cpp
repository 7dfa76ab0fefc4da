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
    if (document.data().shownList() == nullptr) {
        return;
    }
    document.perform(std::make_unique<ValueEdit<std::int32_t>>(
        kMethodChoiceName, DocumentChange{0, kNonCrossingLine, std::nullopt},
        [](const DocumentData& data) { return data.nonCrossingParameters.lineFlag; },
        [](DocumentData& data, const std::int32_t& flag) {
            data.nonCrossingParameters.lineFlag = flag;
        },
        index == 1 ? 1 : 0));
    if (reselectTab) {
        document.SelectTab(document.data().currentTab);
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
