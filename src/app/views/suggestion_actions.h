// The suggested-pick entries both context menus end with ("采用建议初至",
// "本测线全部采用建议初至"), as the core's menu model gives them.
#pragma once

class QMenu;

namespace crackdepth {
class Document;
}

namespace crackdepth::app {

// Appends the entries to `menu`, each enabled as the model says and running its command when
// triggered.
void addSuggestionActions(QMenu& menu, Document& document);

} // namespace crackdepth::app
