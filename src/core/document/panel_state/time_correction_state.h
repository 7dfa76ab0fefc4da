// The logic of the "声时修正" command and its dialog: the selected line's correction and the
// correction of all lines, checked and applied live on every keystroke, the button that drops
// the current file's corrections, and OK and Cancel. Corrections change no waveform; the
// transit-time rule adds them in wherever it is used. While the dialog is open the views
// show valid entries as a preview outside the undo history; OK makes them one edit, Cancel
// leaves the history, redo and the modified flag as they were.
#pragma once

#include "core/document/model/document.h"
#include "core/document/model/live_preview.h"
#include "core/document/model/points_edit.h"
#include "core/document/panel_state/number_entry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace crackdepth {

inline constexpr const char* kTimeCorrectionNoFileMessage = "请先打开文件再进行延时修正!";
inline constexpr const char* kTimeCorrectionTitle = "声时修正";
inline constexpr const char* kTimeCorrectionRangeTitle = "声时修正范围为-200.0-200.0us";
inline constexpr const char* kLineCorrectionCaption = "当前缝修正值";
inline constexpr const char* kAllCorrectionCaption = "所有缝修正值";
inline constexpr const char* kUndoCorrectionsCaption = "撤销当前文件的声时修正"; // and tool tip

// Everything the dialog shows. Field texts that differ from what was typed must be put back
// into the edits without raising another change event (their change is already handled).
struct TimeCorrectionView {
    std::string title;
    std::string lineText; // "当前缝修正值"
    std::string allText;  // "所有缝修正值"
    // False when the selected tab's line has no correction of its own (a crossing raw
    // file's line): its field then shows the zero text and cannot be edited.
    bool lineEditable = true;
};

class TimeCorrectionState {
public:
    // The command, for the selected tab's line. With no line shown it shows
    // kTimeCorrectionNoFileMessage and gives none (no dialog).
    static std::optional<TimeCorrectionState> start(Document& doc);

    const TimeCorrectionView& view() const { return view_; }

    // One keystroke in a field: the new whole text. A field that holds no number, or one
    // outside −200 … 200 us, puts its problem in the title and the preview back to the
    // starting corrections; the text stays as typed and no message interrupts the typing.
    const TimeCorrectionView& onLineTextChanged(const std::string& text);
    const TimeCorrectionView& onAllTextChanged(const std::string& text);
    // "撤销当前文件的声时修正": clears the line corrections and the shown line's per-point
    // corrections; the correction of all lines stays.
    const TimeCorrectionView& onUndoCorrections();

    // "确定": true when both fields hold corrections within range, which then become the
    // corrections as one edit. Otherwise a message names the field and says why, and the
    // dialog stays open.
    bool onOk();
    // "取消" (and closing the window): both corrections go back to where they started (the
    // line's starting value is 0 after the undo button).
    void onCancel();

private:
    enum class Field { Line, All };

    explicit TimeCorrectionState(Document& doc);
    // The correction "当前缝修正值" edits; none when there is none.
    std::optional<float> lineCorrection() const;
    // The corrections with the given ones put in.
    Corrections withValues(std::optional<float> line, std::optional<float> all) const;
    void fieldChanged(Field field, const std::string& text);
    // The first field at fault and why; none when both fields pass.
    std::optional<std::pair<const char*, std::string>> problem() const;
    void preview();
    std::string zeroText() const;

    Document& doc_;
    LivePreview preview_;
    TimeCorrectionView view_;
    NumberEntry lineEntry_;
    NumberEntry allEntry_;
    std::int32_t tab_ = 0;
    float dt_ = 0; // sampling interval of the selected line's current point: chooses the format
    float startLine_ = 0;
    float startAll_ = 0;
};

} // namespace crackdepth
