#include "core/document/checks/check_list.h"

#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"

namespace crackdepth {

std::vector<std::string> CheckList::rows() const {
    if (checks.empty()) {
        return {kNoFindingsText};
    }
    std::vector<std::string> texts;
    texts.reserve(checks.size());
    for (const MeasurementCheck& check : checks) {
        texts.push_back(check.message);
    }
    return texts;
}

CheckList checkListOf(const DocumentData& data, const DocumentAnalysis& analysis) {
    return {CheckMeasurement(data, analysis)};
}

CheckList checkListOf(const DocumentData& data, const DocumentAnalysis& analysis,
                      WaveformFactsCache& facts) {
    return {CheckMeasurement(data, analysis, facts.factsOf(data, analysis.cracks.size() + 1))};
}

bool ShowCheck(Document& document, const CheckList& list, std::size_t row) {
    if (row >= list.checks.size()) {
        return false;
    }
    const MeasurementCheck& check = list.checks[row];
    const DocumentData& data = document.data();
    if (data.nonCrossingList == nullptr || check.line < 0 || check.line > crossingTabCount(data)) {
        return false;
    }
    const LineId line = check.line == 0 ? kNonCrossingLine : crossingLineOfTab(data, check.line);
    document.SelectTab(check.line);
    if (check.point) {
        document.SelectPoint(line, *check.point);
    }
    return true;
}

} // namespace crackdepth
