// The logic of the "滤波" command and its dialog: where the settings start, the range rules
// with their titles, the live re-filter of the current point on every valid change, OK
// refusing settings the point cannot carry, and Cancel bringing the point's former waveform
// back. The dialog only forwards its events here and shows what each one returns.
#pragma once

#include "core/document/document.h"

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
// "确定" with an entry that cannot be applied.
inline constexpr const char* kHighPassInvalidMessage = "高通值无效，高通范围为0.01-20kHz";
inline constexpr const char* kLowPassInvalidMessage = "低通值无效，低通范围为2-500kHz";
inline constexpr const char* kHighPassCaption = "高通(kHz)";
inline constexpr const char* kLowPassCaption = "低通(kHz)";

// Everything the dialog shows. Field texts that differ from what was typed must be put back
// into the edits without raising another change event (their change is already handled).
struct FilterDialogView {
    std::string title;
    std::string highPassText;
    std::string lowPassText;
    bool highPassOn = false; // check box, and whether its edit is enabled
    bool lowPassOn = false;
};

class FilterDialogState {
public:
    // The command: with no line shown it shows kFilterNoFileMessage and gives none (no
    // dialog). Otherwise the document's filter settings start from the
    // current point's own filter when it carries one, else both switches off with the
    // document's cut-offs, and the state remembers them for Cancel.
    static std::optional<FilterDialogState> start(Document& doc);

    const FilterDialogView& view() const { return view_; }

    // Every event below ends with the same check: each filter that is switched on needs a
    // cut-off within its range, and with both on the high-pass may not lie above the
    // low-pass (a filter that is off does not count). When the settings pass, the current
    // point is re-filtered with them and the title reads kFilterAppliedTitle; otherwise the
    // title names the first problem, the edited field's own first, and the point keeps the
    // waveform of the last valid change.

    // One keystroke in an edit: the new whole text, which becomes the document's cut-off.
    const FilterDialogView& onHighPassTextChanged(const std::string& text);
    const FilterDialogView& onLowPassTextChanged(const std::string& text);
    // A check box clicked: its new state.
    const FilterDialogView& onHighPassSwitched(bool on);
    const FilterDialogView& onLowPassSwitched(bool on);

    // "确定": true when the dialog may close, which is when the settings pass the check, so
    // that the point carries exactly the cut-offs the fields show. Otherwise a message says
    // which entry cannot be applied and the dialog stays open.
    bool onOk();
    // "取消" (and closing the window): the starting settings come back and the point is
    // re-filtered with them. The dialog's live changes are one edit, which then changes
    // nothing and leaves no trace in the undo history.
    void onCancel();

private:
    explicit FilterDialogState(Document& doc);
    void highPassChanged(const std::string& text, bool mayCut);
    void lowPassChanged(const std::string& text, bool mayCut);
    // The title of the first problem of the settings, looking at the high-pass entry first
    // or last; none when they pass.
    const char* problem(bool highPassFirst) const;
    void applyIfValid(bool highPassFirst);

    Document& doc_;
    std::string mergeKey_; // this dialog's live changes are one edit
    FilterDialogView view_;
    bool startHighOn_ = false;
    bool startLowOn_ = false;
    float startHighCut_ = 0;
    float startLowCut_ = 0;
};

} // namespace crackdepth
