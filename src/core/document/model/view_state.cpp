#include "core/document/model/view_state.h"

#include "core/document/model/document_data.h"

namespace crackdepth {

void ToggleWaveTrain(ViewState& view, const DocumentData& data) {
    const std::int32_t onMode = data.currentTab != 0 ? 1 : 2;
    view.waveTrainMode = view.waveTrainMode == 0 ? onMode : 0;
}

void ToggleTimeDomain(ViewState& view, const DocumentData& data) {
    if (data.shownList() != nullptr) {
        view.timeDomain = !view.timeDomain;
    }
}

void FollowTab(ViewState& view, const DocumentData& data) {
    if (data.currentTab == 0 && view.waveTrainMode == 1) {
        view.waveTrainMode = 2;
    } else if (data.currentTab != 0 && view.waveTrainMode == 2) {
        view.waveTrainMode = 1;
    }
}

} // namespace crackdepth
