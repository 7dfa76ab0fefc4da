// A stretch of an operator's work on an open document, the same in every test of the
// recovery copy (the core's and the one that kills a running program): on every line there
// is, a re-pick two samples later, a time shift, an inversion and, on a crossing line, a
// manual exclusion; then a pending correction of all lines. Together they change samples,
// arrivals, amplitude samples, keep flags, per-point shifts and corrections, none of which a
// copy may lose.
#pragma once

#include "core/document/commands/point_editing.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/view_state.h"
#include "core/document/panel_state/time_correction_state.h"

namespace crackdepth::testing {

inline void editLikeAnOperator(Document& doc) {
    const ViewState view;
    for (std::int32_t tab = 0; tab <= crossingTabCount(doc.data()); ++tab) {
        doc.SelectTab(tab);
        if (const auto shown = doc.data().shownId()) {
            doc.SelectPoint(*shown, 1);
        }
        ApplyArrowHotKey(doc, ArrowHotKey::Right, true, view);
        ApplyArrowHotKey(doc, ArrowHotKey::Right, true, view);
        ApplyArrowHotKey(doc, ArrowHotKey::CtrlRight, true, view);
        InvertCurrentPoint(doc);
        if (tab > 0) {
            MarkManualExclude(doc);
        }
    }
    if (auto correction = TimeCorrectionState::start(doc)) {
        correction->onAllTextChanged("1.5");
        correction->onOk();
    }
}

} // namespace crackdepth::testing
