// What the report commands settle before they draw: the pending time corrections folded into
// the waveforms (one undoable edit, none when nothing is pending), and the longer of the two
// lines shown with its tab selected, so that the report's pages and the screen show the same
// line with the same numbers.
#pragma once

namespace crackdepth {

class Document;

inline constexpr const char* kPrepareReportName = "报告前提交修正";

// False, changing nothing, while no line is shown.
bool PrepareReport(Document& document);

// After the bitmap report the last crossing line is the selected one.
void SelectLastCrossingLine(Document& document);

} // namespace crackdepth
