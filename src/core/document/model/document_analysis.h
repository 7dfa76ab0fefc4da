// The analysis of a document as one value: the fit of the non-crossing line, every crossing
// line's evaluation and the screen and report tables of the current selection. It is a pure
// function of the data, so the information panel, the views, the reports and the
// command-line tool all show the same numbers, and reading never changes the document.
#pragma once

#include "core/analysis/crack_evaluation.h"
#include "core/analysis/fit.h"
#include "core/document/model/document_data.h"
#include "core/document/model/line_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

struct DocumentAnalysis {
    RegressionMethod method = RegressionMethod::Regression;
    // The non-crossing point the two-point method pairs with point 0 (0 with regression).
    std::int32_t secondPoint = 0;
    std::optional<LineFit> fit;
    std::string interceptText; // "%.2f(mm)" or "--.--(mm)"
    std::string velocityText;  // "%.2f(km/s)" or "--.--(km/s)"

    // One evaluation per crossing tab, in tab order (crack k is tab k + 1), each with the
    // transit times of its own line: its correction is added whichever tab is selected.
    std::vector<CrackResult> cracks;
    // The evaluation of the selected crossing line (a copy of its entry of `cracks`); none
    // on the non-crossing tab.
    std::optional<CrackResult> selected;

    PointTable screenTable;
    PointTable reportTable;

    // "平均裂深": the selected crack's depth text; empty on the non-crossing tab.
    const std::string& crackDepthText() const { return screenTable.crackDepthText; }
};

// What the command-line tool may choose instead of what the document stores.
struct AnalysisOptions {
    std::optional<RegressionMethod> method;
    std::optional<std::int32_t> secondPoint; // the two-point method's partner of point 0
    // The screen and report tables of the selection; a caller that shows neither skips them.
    bool tables = true;
};

DocumentAnalysis AnalyseDocument(const DocumentData& data, const AnalysisOptions& options = {});

// The part of the analysis that follows the selection alone (the selected crack and the
// tables), made again for `data` over the measurement's analysis already in `analysis`.
void SelectInAnalysis(DocumentAnalysis& analysis, const DocumentData& data, bool tables = true);

// The non-crossing point the two-point method would pair with point 0 as the selection asks
// (the current point, or the last paired one while point 0 is current).
std::int32_t wantedSecondPoint(const DocumentData& data);

// The keep flags the analysis gives a crossing line's points (1 kept, 0 excluded), by tab.
std::vector<std::int32_t> keepFlags(const CrackResult& crack);

} // namespace crackdepth
