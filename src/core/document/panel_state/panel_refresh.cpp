#include "core/document/panel_state/panel_refresh.h"

#include "core/analysis/fit.h"
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"

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
    if (analysis.selected) {
        state.crackDepthTip = crackDepthTipOf(*analysis.selected);
    }
    return state;
}

std::string crackDepthTipOf(const CrackResult& crack) {
    const CrackDepthSpread spread = spreadOf(crack);
    std::string text =
        spread.kept == 0 ? std::string("没有裂深估计值") : std::to_string(spread.kept) + "个估计值";
    if (spread.std && spread.min && spread.max) {
        text += "，标准差" + formatFixed2(*spread.std) + "mm，最小" + formatFixed2(*spread.min) +
                "mm，最大" + formatFixed2(*spread.max) + "mm";
    }
    text += '\n';
    if (crack.depthRule == DepthRule::PhaseReversal) {
        text += "裂深取反相点及其相邻测点的估计值的平均：这些估计沿L + |A|的路径计算，"
                "与表中“缝深(mm)”列的数值不同";
    } else {
        text += "裂深取保留测点的估计值的平均";
    }
    return text;
}

void ChooseAnalysisMethod(Document& document, std::int32_t index, bool reselectTab) {
    const DocumentData& data = document.data();
    if (data.shownList() == nullptr) {
        return;
    }
    // The choice leaves the current point where it is: under the two-point method point 0
    // may be viewed, and the fit pairs it with the last other point viewed.
    document.perform(std::make_unique<ValueEdit<std::int32_t>>(
        kMethodChoiceName, DocumentChange{0, kNonCrossingLine},
        [](const DocumentData& held) { return held.nonCrossingParameters.lineFlag; },
        [](DocumentData& held, const std::int32_t& flag) {
            held.nonCrossingParameters.lineFlag = flag;
        },
        index == 1 ? 1 : 0));
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
