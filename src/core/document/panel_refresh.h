// What the information panel does to the document when it re-reads it, and the analysis
// method choice it offers.
#pragma once

#include "core/document/date_text.h"

#include <cstdint>

namespace crackdepth {

class Document;

struct PanelState {
    bool enabled = false;         // a line is shown: the method list and the result fields
    std::int32_t methodIndex = 0; // 0 "回归法", 1 "两点法"
};

// The panel's refresh: with a shown line, currentBaseName follows the non-crossing file's
// name, a zero part of the shown line's date becomes today's, and its test date is rewritten
// in the plain form (a two-digit year becoming one of the 2000s). Returns what the panel
// shows.
PanelState RefreshPanel(Document& document, const CalendarDate& today);

// The analysis method list's choice: stored with the non-crossing line, after which the
// analysis views redraw. Ignored without a shown line.
void ChooseAnalysisMethod(Document& document, std::int32_t index);

} // namespace crackdepth
