#include "core/document/panel_state/wave_train_menu.h"

namespace crackdepth {

std::vector<TrainMenuEntry> trainMenuOf(const PointMenuEnabling& enabling) {
    return {
        {kCopyPointText, enabling.copy, false},
        {kPastePointText, enabling.paste, false},
        {kDeletePointText, enabling.remove, false},
        {kSetReversalText, enabling.setReversal, true},
        {kClearReversalText, enabling.clearReversal, false},
    };
}

} // namespace crackdepth
