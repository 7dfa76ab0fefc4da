// The single-point waveform commands (re-filter, invert), point stepping and the six arrow
// hot keys, as operations on the document: the changes of data are edits, the moves of the
// current point are selections.
#pragma once

#include "core/document/model/document.h"
#include "core/document/model/view_state.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace crackdepth {

inline constexpr const char* kFirstPointMessage = "当前为第一个测点";
inline constexpr const char* kLastPointMessage = "当前为最后一个测点";
inline constexpr const char* kFilterName = "滤波";
inline constexpr const char* kInvertName = "波形反相";
inline constexpr const char* kMoveArrivalName = "移动初至";
inline constexpr const char* kShiftTimeName = "平移声时";

// Point `currentIndex` of the shown line; none when no line is shown or it has no points.
const MeasuringPoint* currentPoint(const DocumentData& data);

// The value of a point's filter switch (highPassOn, lowPassOn) when that filter ran forward
// and backward. Any value other than 0 still reads as "on" to every reader of the files.
inline constexpr float kZeroPhaseFilterFlag = 2.0f;

// The delay in us that the filter the current point carries gives its trace at the trace's
// main frequency (of originalSamples); 0 after a zero-phase filter; none when the point is
// not filtered or the delay cannot be told (no main frequency).
std::optional<float> pointFilterDelayUs(const MeasuringPoint& point, std::int32_t sampleCount);

// The edit "滤波": re-filters the current point from its originalSamples with `settings` and
// records them in the point; none without a current point. With zeroPhase the filters run
// forward and backward, which the point's switches record as kZeroPhaseFilterFlag instead
// of 1.
std::unique_ptr<Edit> makeRefilterEdit(const Document& doc, const FilterSettings& settings);
// Performs that edit.
void RefilterCurrentPoint(Document& doc, const FilterSettings& settings);

// The edit "波形反相": inverts the current point about the zero line in both waveforms
// (4096 − sample); a sample above 4096 becomes 0.
void InvertCurrentPoint(Document& doc);

// "前一测点" and "后一测点": step the shown line's current point, with a message at either end.
void PreviousPoint(Document& doc);
void NextPoint(Document& doc);

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

// Applies one hot key to the shown line's current point. Left and Right are the edit
// "移动初至" (the amplitude sample moves with the arrival), the Ctrl keys the edit "平移声时";
// successive presses on one point become one edit.
HotKeyOutcome ApplyArrowHotKey(Document& doc, ArrowHotKey key, bool contentViewActive,
                               const ViewState& view);

} // namespace crackdepth
