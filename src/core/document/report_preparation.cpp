#include "core/document/report_preparation.h"

#include "core/document/document.h"
#include "core/document/line_tabs.h"
#include "core/document/point_edit.h"
#include "core/document/result_io.h"

namespace crackdepth {

bool PrepareReport(Document& document) {
    const DocumentData& data = document.data();
    if (data.shownList() == nullptr) {
        return false;
    }
    document.perform(makeFoldCorrectionsEdit(kPrepareReportName, data, FoldCorrections));
    const PointList* crossing = data.currentCrossingList();
    const PointList* nonCrossing = data.nonCrossingList.get();
    if (crossing != nullptr && nonCrossing != nullptr) {
        document.ShowLine(crossing->size() < nonCrossing->size() ? ShownLine::NonCrossing
                                                                 : ShownLine::Crossing);
    }
    return true;
}

void SelectLastCrossingLine(Document& document) {
    const std::int32_t tabs = crossingTabCount(document.data());
    if (tabs > 0) {
        document.SelectTab(tabs);
    } else if (document.data().nonCrossingList) {
        document.ShowLine(ShownLine::NonCrossing);
    }
}

} // namespace crackdepth
