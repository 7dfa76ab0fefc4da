// The single-point waveform commands (re-filter, invert), point stepping, the two display
// switches and the six arrow hot keys, as operations on the document. Each one is a
// self-contained edit that changes the data and announces the change.
#pragma once

#include "core/document/document.h"

#include <cstdint>
#include <optional>

namespace crackdepth {

inline constexpr const char* kFirstPointMessage = "当前为第一个测点";
inline constexpr const char* kLastPointMessage = "当前为最后一个测点";

// Point `currentIndex` of the shown line, by the line's lookup (which moves its cursor);
// none when no line is shown or it has no points.
MeasuringPoint* currentPoint(Document& doc);

// Re-filters the current point from its originalSamples with the document's four filter
// settings and records them in the point. Marks the document modified even when there is
// no point to filter.
void RefilterCurrentPoint(Document& doc);

// Inverts the current point about the zero line in both waveforms (4096 − sample); a sample
// above 4096 becomes 0. Repaints only when a content view is active; the document is not
// marked modified.
void InvertCurrentPoint(Document& doc, bool contentViewActive);

// "前一测点" and "后一测点": step the shown line's current point, with a message at either end.
void PreviousPoint(Document& doc);
void NextPoint(Document& doc);

// "波列视图切换": wave train on (mode 2 on the non-crossing tab, 1 on a crossing tab) or off.
void ToggleWaveTrain(Document& doc);
// "时域/频域视图切换": trace or spectrum of the shown line's current point.
void ToggleTimeDomain(Document& doc);

// The six arrow hot keys of the main window, by their ids.
enum class ArrowHotKey : std::int32_t {
    Up = 1,        // previous point (next one while a wave train is shown)
    Down = 2,      // next point (previous one while a wave train is shown)
    Left = 3,      // first arrival one sample earlier
    Right = 4,     // first arrival one sample later
    CtrlLeft = 5,  // timeShift one sampling interval earlier
    CtrlRight = 6, // timeShift one sampling interval later
};

struct HotKeyOutcome {
    bool acted = false; // false: no content view active or no point shown; nothing changed
    // Up and Down: the crossing table's row to select (the new current point + 1, row 0
    // being the header row).
    std::optional<std::int32_t> tableRow;
};

// Applies one hot key to the shown line's current point and repaints the content views.
// The document is not marked modified.
HotKeyOutcome ApplyArrowHotKey(Document& doc, ArrowHotKey key, bool contentViewActive);

} // namespace crackdepth
