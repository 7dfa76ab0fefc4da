#include "core/document/panel_refresh.h"

#include "core/analysis/fit.h"
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
