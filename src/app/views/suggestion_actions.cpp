#include "app/views/suggestion_actions.h"

#include "core/document/model/document.h"
#include "core/document/panel_state/suggestion_menu.h"

#include <QMenu>

namespace crackdepth::app {

void addSuggestionActions(QMenu& menu, Document& document) {
    for (const SuggestionMenuEntry& entry : suggestionMenuOf(document.data())) {
        QAction* action = menu.addAction(QString::fromUtf8(entry.text));
        action->setEnabled(entry.enabled);
        const SuggestionCommand command = entry.command;
        QObject::connect(action, &QAction::triggered, &menu,
                         [&document, command] { RunSuggestionCommand(document, command); });
    }
}

} // namespace crackdepth::app
