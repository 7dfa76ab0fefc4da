// The strip of line tabs above the line view: one tab per line (the non-crossing line first,
// then the crossing lines), and the analysis inputs that follow from the selection (the
// stored method, the selected line's reversal point). Selecting a tab
// is the document's Document::SelectTab.
#pragma once

#include "core/analysis/crack_evaluation.h"
#include "core/analysis/fit.h"
#include "core/document/model/document_data.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

// The crossing lines the strip offers: the result file's lines, or else the one line of a
// crossing raw file (0 without any).
std::int32_t crossingTabCount(const DocumentData& data);

// The crossing line of tab k (1 … crossingTabCount).
LineId crossingLineOfTab(const DocumentData& data, std::int32_t tab);
// The corrections its transit times take, whichever tab is selected: its own line correction
// (none for a crossing raw file's line) and the correction of all lines.
TimeCorrections crossingTabCorrections(const DocumentData& data, std::int32_t tab);

// One label per tab: each line's note without its last four characters (its extension).
// Empty without a non-crossing line.
std::vector<std::string> tabLabels(const DocumentData& data);

// The line of the selected tab: the non-crossing line on tab 0, the current crossing line on a
// crossing tab; none when the document holds no such line.
const PointList* selectedLine(const DocumentData& data);

// The reversal point of a crossing line's header.
ReversalPoint reversalOf(const TestParameters& header);

// The reversal point of the selected crossing line; never set on the non-crossing tab, whose
// header slot 12 holds the analysis method instead.
ReversalPoint currentReversal(const DocumentData& data);

// The method a non-crossing header stores: any non-zero value means two-point.
RegressionMethod storedMethod(const TestParameters& nonCrossingHeader);
RegressionMethod currentMethod(const DocumentData& data);

} // namespace crackdepth
