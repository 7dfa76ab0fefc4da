#include "app/dialogs/dialog_style.h"

#include <QDialog>
#include <QLayout>

namespace crackdepth::app {

void applyDialogStyle(QDialog& dialog, double opacity) {
    dialog.setWindowOpacity(opacity);
    // Forms, not documents: nothing gains from a larger window, and a fixed size keeps the
    // controls where the operator expects them.
    if (QLayout* layout = dialog.layout()) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

} // namespace crackdepth::app
