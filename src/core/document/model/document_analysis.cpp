#include "core/document/model/document_analysis.h"

#include "core/document/model/line_tabs.h"

namespace crackdepth {

DocumentAnalysis AnalyseDocument(const DocumentData& data, const AnalysisOptions& options) {
    DocumentAnalysis analysis;
    analysis.method = options.method.value_or(currentMethod(data));
    if (const PointList* line = data.nonCrossingList.get()) {
        const std::int32_t wanted = options.secondPoint.value_or(wantedSecondPoint(data));
        analysis.secondPoint =
            analysis.method == RegressionMethod::TwoPoint ? twoPointPartner(*line, wanted) : 0;
        analysis.fit =
            FitLine(*line, analysis.method, data.nonCrossingCorrections(), analysis.secondPoint);
    }
    analysis.interceptText = interceptText(analysis.fit);
    analysis.velocityText = velocityText(analysis.fit);

    const std::int32_t tabs = crossingTabCount(data);
    for (std::int32_t tab = 1; tab <= tabs; ++tab) {
        const LineId id = crossingLineOfTab(data, tab);
        analysis.cracks.push_back(EvaluateCrack(*data.line(id), analysis.fit,
                                                crossingTabCorrections(data, tab),
                                                reversalOf(*data.header(id))));
    }
    SelectInAnalysis(analysis, data, options.tables);
    return analysis;
}

void SelectInAnalysis(DocumentAnalysis& analysis, const DocumentData& data, bool tables) {
    // The selected tab's line is the current crossing line, whose correction the selected
    // tab's transit times take.
    const auto tabs = static_cast<std::int32_t>(analysis.cracks.size());
    analysis.selected.reset();
    if (data.currentTab > 0 && data.currentTab <= tabs) {
        analysis.selected = analysis.cracks[static_cast<std::size_t>(data.currentTab - 1)];
    }
    if (tables) {
        analysis.screenTable = BuildScreenTable(data, analysis.selected);
        analysis.reportTable = BuildReportTable(data, analysis.selected);
    }
}

std::int32_t wantedSecondPoint(const DocumentData& data) {
    const PointList* line = data.nonCrossingList.get();
    if (line == nullptr) {
        return 0;
    }
    return line->currentIndex > 0 ? line->currentIndex : line->pairedIndex;
}

std::vector<std::int32_t> keepFlags(const CrackResult& crack) {
    std::vector<std::int32_t> flags;
    flags.reserve(crack.points.size());
    for (const PointEvaluation& point : crack.points) {
        flags.push_back(point.kept ? 1 : 0);
    }
    return flags;
}

} // namespace crackdepth
