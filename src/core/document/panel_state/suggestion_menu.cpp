#include "core/document/panel_state/suggestion_menu.h"

#include "core/document/commands/suggested_picks.h"
#include "core/document/model/document.h"

namespace crackdepth {

std::vector<SuggestionMenuEntry> suggestionMenuOf(const DocumentData& data) {
    return {
        {SuggestionCommand::Adopt, kAdoptSuggestionName, canAdoptSuggestion(data)},
        {SuggestionCommand::AdoptLine, kAdoptLineSuggestionsName, canAdoptLineSuggestions(data)},
    };
}

bool RunSuggestionCommand(Document& document, SuggestionCommand command) {
    switch (command) {
    case SuggestionCommand::Adopt:
        if (!canAdoptSuggestion(document.data())) {
            return false;
        }
        AdoptSuggestion(document);
        return true;
    case SuggestionCommand::AdoptLine:
        if (!canAdoptLineSuggestions(document.data())) {
            return false;
        }
        AdoptLineSuggestions(document);
        return true;
    }
    return false;
}

} // namespace crackdepth
