#include "core/document/commands/report_preparation.h"

#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/result_io.h"

namespace crackdepth {

bool PrepareReport(Document& document) {
    const DocumentData& data = document.data();
    if (data.shownList() == nullptr) {
        return false;
    }
    // With nothing pending a fold would only restate the delays and the backup waveforms:
    // the report's numbers are already the screen's, and the document stays as saved.
    if (hasPendingCorrections(data)) {
        document.perform(makeFoldCorrectionsEdit(kPrepareReportName, data, FoldCorrections));
    }
    const PointList* crossing = data.currentCrossingList();
    const PointList* nonCrossing = data.nonCrossingList.get();
    if (crossing != nullptr && nonCrossing != nullptr) {
        // The line shown is the line of the selected tab, so that the tab strip, the table's
        // statuses and the crack depth in the panel all speak of the same line.
        document.SelectTab(crossing->size() < nonCrossing->size()
                               ? 0
                               : static_cast<std::int32_t>(data.currentCrossingEntry) + 1);
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
