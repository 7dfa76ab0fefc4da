// The suggested first arrivals as the operator reaches them: the entries the waveform view's
// and the line table's context menus offer, "采用建议初至" for the current point and
// "本测线全部采用建议初至" for the shown line, and the key A that adopts the current point's
// suggestion while the waveform or the table has the focus. Each is enabled only when it
// would change a pick, so that no empty edit enters the history.
#pragma once

#include "core/document/model/document_data.h"

#include <vector>

namespace crackdepth {

class Document;

enum class SuggestionCommand { Adopt, AdoptLine };

struct SuggestionMenuEntry {
    SuggestionCommand command = SuggestionCommand::Adopt;
    const char* text = "";
    bool enabled = false;
};

// "采用建议初至" then "本测线全部采用建议初至", enabled by canAdoptSuggestion and
// canAdoptLineSuggestions.
std::vector<SuggestionMenuEntry> suggestionMenuOf(const DocumentData& data);

// Runs `command` when it is enabled; true when it did (one undoable edit).
bool RunSuggestionCommand(Document& document, SuggestionCommand command);

// The key that runs "采用建议初至".
inline constexpr char kAdoptSuggestionKey = 'A';

} // namespace crackdepth
