// What the window shows, apart from the document: the waveform's domain and the lower
// right pane's layout (table or wave train). It belongs to the window, never to the data.
#pragma once

#include <cstdint>

namespace crackdepth {

struct DocumentData;

struct ViewState {
    bool timeDomain = true; // the waveform as a trace (true) or as its spectrum
    // 0 the table; 1 the wave train of a crossing line, 2 that of the non-crossing line.
    std::int32_t waveTrainMode = 0;

    bool operator==(const ViewState&) const = default;
};

// "波列视图切换": wave train on (mode 2 on the non-crossing tab, 1 on a crossing tab) or off.
void ToggleWaveTrain(ViewState& view, const DocumentData& data);
// "时域/频域视图切换": trace or spectrum; nothing without a shown line.
void ToggleTimeDomain(ViewState& view, const DocumentData& data);
// After a tab selection a shown wave train follows the tab (1 crossing, 2 non-crossing).
void FollowTab(ViewState& view, const DocumentData& data);

} // namespace crackdepth
