// The logic of the "滤波" command and its dialog: where the settings start, the range rules
// with their titles, the live preview of the current point filtered with every valid set of
// entries (outside the undo history), the delay the filter gives the trace, OK refusing
// settings the point cannot carry and otherwise filtering the point as one edit, and Cancel
// leaving the point and the history as they were. The dialog only forwards its events here
// and shows what each one returns.
#pragma once

#include "core/document/model/document.h"
#include "core/document/model/live_preview.h"
#include "core/document/panel_state/number_entry.h"

#include <optional>
#include <string>

namespace crackdepth {

inline constexpr const char* kFilterNoFileMessage = "请先打开文件再进行滤波!";
inline constexpr const char* kFilterDialogTitle = "滤波";
inline constexpr const char* kFilterAppliedTitle = "数字滤波";
inline constexpr const char* kHighPassRangeText = "高通范围为0.01-20kHz"; // message and title
inline constexpr const char* kLowPassRangeMessage = "低通范围为2-500";
inline constexpr const char* kLowPassRangeTitle = "低通范围为2-500kHz";
inline constexpr const char* kHighAboveLowTitle = "高通值必须小于低通值"; // message and title
inline constexpr const char* kHighPassCaption = "高通(kHz)";
inline constexpr const char* kLowPassCaption = "低通(kHz)";
inline constexpr const char* kZeroPhaseCaption = "零相位";
// The delay of the settings at the trace's main frequency, under the switches.
inline constexpr const char* kFilterDelayLabel = "滤波延时";
inline constexpr const char* kZeroPhaseDelayText = "零相位滤波：无延时";

// Everything the dialog shows. Field texts that differ from what was typed must be put back
// into the edits without raising another change event (their change is already handled).
struct FilterDialogView {
    std::string title;
    std::string highPassText;
    std::string lowPassText;
    bool highPassOn = false; // check box, and whether its edit is enabled
    bool lowPassOn = false;
    bool zeroPhase = false; // "零相位"
    // "滤波延时 5.00us（主频 50.0kHz）", kZeroPhaseDelayText, or empty with no filter on or
    // entries that cannot be applied.
    std::string delayText;
};

class FilterDialogState {
public:
    // The command: with no line shown it shows kFilterNoFileMessage and gives none (no
    // dialog). Otherwise the settings start from the current point's own filter when it
    // carries one, else both switches off with the document's remembered cut-offs; the
    // document remembers that start, and OK the settings it filtered with.
    static std::optional<FilterDialogState> start(Document& doc);

    const FilterDialogView& view() const { return view_; }

    // Every event below ends with the same check: each filter that is switched on needs a
    // number within its range, and with both on the high-pass may not lie above the
    // low-pass (a filter that is off does not count). When the settings pass, the preview
    // shows the current point filtered with them and the title reads kFilterAppliedTitle;
    // otherwise the title names the first problem, the edited field's own first, and the
    // preview shows the point as it was when the dialog opened. Typing never shows a message.

    // One keystroke in an edit: the new whole text; a number becomes the cut-off.
    const FilterDialogView& onHighPassTextChanged(const std::string& text);
    const FilterDialogView& onLowPassTextChanged(const std::string& text);
    // A check box clicked: its new state.
    const FilterDialogView& onHighPassSwitched(bool on);
    const FilterDialogView& onLowPassSwitched(bool on);
    const FilterDialogView& onZeroPhaseSwitched(bool on);

    // "确定": true when the dialog may close, which is when the settings pass the check; the
    // point is then filtered with them as one edit "滤波" (none when the settings are those
    // the dialog started from). Otherwise a message names the field and says why, and the
    // dialog stays open.
    bool onOk();
    // "取消" (and closing the window): the starting settings come back and the preview is
    // withdrawn; the point, the undo history (redo included) and the modified flag are as
    // they were before the dialog.
    void onCancel();

private:
    struct Problem {
        const char* field; // the caption of the field at fault
        std::string reason;
    };

    explicit FilterDialogState(Document& doc);
    void highPassChanged(const std::string& text);
    void lowPassChanged(const std::string& text);
    // The first problem of the settings, looking at the high-pass entry first or last; none
    // when they pass.
    std::optional<Problem> problem(bool highPassFirst) const;
    void applyIfValid(bool highPassFirst);
    static std::string titleOf(const Problem& problem);
    bool changedFromStart() const;
    std::string delayText() const;

    Document& doc_;
    LivePreview preview_;
    FilterDialogView view_;
    NumberEntry highEntry_;
    NumberEntry lowEntry_;
    FilterSettings settings_; // as the fields and switches stand
    FilterSettings start_;    // as the dialog opened, which Cancel leaves remembered
};

} // namespace crackdepth
