// The strip of line tabs above the line view: one tab per line (the non-crossing line first,
// then the crossing lines), what selecting a tab makes current, and the analysis inputs that
// follow from the selection (the non-crossing fit, the selected line's reversal point).
#pragma once

#include "core/analysis/crack_evaluation.h"
#include "core/analysis/fit.h"
#include "core/document/document.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

// The crossing lines the strip offers: the result file's lines, or else the one line of a
// crossing raw file (0 without any).
std::int32_t crossingTabCount(const DocumentData& data);

// One label per tab: each line's note without its last four characters (its extension).
// Empty without a non-crossing line.
std::vector<std::string> tabLabels(const DocumentData& data);

// The line of the selected tab: the non-crossing line on tab 0, the current crossing line on a
// crossing tab; none when the document holds no such line.
PointList* selectedLine(DocumentData& data);

// The header of the crossing line whose tab is selected, wherever it is stored: the entry of
// crossingParameters for a result file's line, or the raw file's header. Operations that change
// a crossing header write this and currentCrossingParameters (none on tab 0).
TestParameters* selectedCrossingHeader(DocumentData& data);

// Selects tab `tab`, limited to 0 … crossingTabCount: sets currentTab, makes the tab's line,
// header, time correction and reversal point current and shows that line; a wave-train layout
// follows the tab (1 for a crossing tab, 2 for the non-crossing tab). The views are refreshed
// (the line view rebuilds its table); the strip itself is not told, since it made the choice —
// it shows data().currentTab afterwards.
void SelectTab(Document& document, std::int32_t tab);

// The reversal point of the selected crossing line; never set on the non-crossing tab, whose
// header slot 12 holds the analysis method instead.
ReversalPoint currentReversal(const DocumentData& data);

// The method stored with the non-crossing line: any non-zero value means two-point.
RegressionMethod currentMethod(const DocumentData& data);

// The fit of the non-crossing line with its own correction (whichever tab is selected) and the
// stored method; none without a non-crossing line or when the fit is undefined. The two-point
// method moves the non-crossing line's current point off point 0.
std::optional<LineFit> currentFit(DocumentData& data);
inline std::optional<LineFit> currentFit(Document& document) {
    return currentFit(document.data());
}

} // namespace crackdepth
