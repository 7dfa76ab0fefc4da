// What the information panel shows of the document (the method choice and the analysis
// results) and the analysis method choice it offers.
#pragma once

#include "core/document/model/document_analysis.h"

#include <cstdint>
#include <string>

namespace crackdepth {

class Document;

inline constexpr const char* kMethodChoiceName = "分析方法";

struct PanelState {
    bool enabled = false;         // a line is shown: the method list and the result fields
    std::int32_t methodIndex = 0; // 0 "回归法", 1 "两点法"
    std::string interceptText;    // "回归系数A"
    std::string velocityText;     // "回归系数B"
    std::string crackDepthText; // "平均裂深": the selected crack's, empty on the non-crossing tab
    std::string crackDepthTip; // its tool tip (crackDepthTipOf), empty on the non-crossing tab
};

// How firm the crack depth is and which rule gave it, for the tool tip of "平均裂深": the
// number of estimates with their standard deviation, least and greatest ("5个估计值，标准差
// 3.10mm，最小95.20mm，最大104.00mm"; the count alone below two estimates), then on a second
// line the rule: the kept points' estimates, or the phase-reversal point and its neighbours,
// whose path L + |A| gives depths other than the table's "缝深(mm)" column.
std::string crackDepthTipOf(const CrackResult& crack);

PanelState panelStateOf(const DocumentData& data, const DocumentAnalysis& analysis);

// The edit "分析方法": the method stored with the non-crossing line. With `reselectTab` (a
// content view was active) the selected tab's line is shown again. Ignored without a shown
// line.
void ChooseAnalysisMethod(Document& document, std::int32_t index, bool reselectTab);

// The edit of the project and test information that an information page made, named by the
// page ("检测信息", "工程信息"). Successive changes of one field of one page become one edit.
void EditProjectInfo(Document& document, const ProjectInfo& after, const std::string& page,
                     std::size_t field);

} // namespace crackdepth
