// The logic of the "打印设置" dialog: which controls it has and what they start from, which
// of them the header, footer and page-number switches enable, the taking over of every
// control into the document's print settings (numbers typed as integers), and OK and Cancel.
// The dialog edits the document's record in place and keeps no copy of it; it only forwards
// its events here and shows what each one returns.
#pragma once

#include "core/document/model/document.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace crackdepth {

inline constexpr const char* kPrintSettingsTitle = "打印设置";
inline constexpr const char* kPrintPageTabCaption = "打印页面设置";
inline constexpr const char* kNotAnIntegerMessage = "请输入一个整数。";
inline constexpr const char* kNothingToPrintMessage = "请选择要打印的内容";
inline constexpr const char* kListChecksCaption = "报告中列出测量检查";

inline constexpr std::array<const char*, 5> kPrintFontNames = {"宋体", "黑体", "隶书",
                                                               "仿宋_GB2312", "楷体_GB2312"};
inline constexpr std::array<const char*, 3> kPrintPositionNames = {"左侧", "居中", "右侧"};
inline constexpr std::array<const char*, 3> kPageNumberPositionNames = {"底部左侧", "底部居中",
                                                                        "底部右侧"};
inline constexpr std::array<const char*, 2> kPageNumberFormatNames = {"123", "I II III"};
inline constexpr std::array<const char*, 3> kReportStyleNames = {"常规样式", "简易样式",
                                                                 "波列样式"};

// The arrows of every spinner step within this range; typed values are taken as typed.
inline constexpr std::int32_t kSpinnerLowest = 0;
inline constexpr std::int32_t kSpinnerHighest = 100;

// The controls of the page, in the order the page shows them (group by group, top to bottom)
// and the order in which they are taken over.
enum class PrintControl : std::size_t {
    BorderWidth,
    GridWidth,
    TopMargin,
    BottomMargin,
    LeftMargin,
    RightMargin,
    PageNumberOn,
    PageNumberPosition,
    StartPageNumber,
    PageNumberFormat,
    HeaderOn,
    HeaderHeight,
    HeaderPosition,
    HeaderFont,
    HeaderText,
    FooterOn,
    FooterHeight,
    FooterPosition,
    FooterFont,
    FooterText,
    TableHead,
    ReportStyle,
    ListChecks,
};
inline constexpr std::size_t kPrintControlCount = 23;
static_assert(static_cast<std::size_t>(PrintControl::ListChecks) + 1 == kPrintControlCount);

enum class PrintControlKind {
    Check,   // a check box: value 0 or 1
    Integer, // an edit holding an integer, typed as text
    Choice,  // a list: value is the chosen index
    Text,    // an edit holding free text
};

struct PrintControlInfo {
    PrintControlKind kind = PrintControlKind::Integer;
    // The control's own text (a check box) or the label beside it; empty for none.
    const char* caption = "";
    bool spinner = false;                 // an integer edit with arrows stepping in 0 … 100
    std::span<const char* const> choices; // the list's entries
    // The switch that enables the control; the control itself for one always enabled.
    PrintControl enabledBy = PrintControl::BorderWidth;
};

const PrintControlInfo& printControlInfo(PrintControl control);
// How a message names an integer field: its group and caption ("页边距“左”").
std::string printFieldName(PrintControl control);

// What one control shows.
struct PrintControlView {
    std::string text;       // an edit's text
    std::int32_t value = 0; // a check box's state (0/1) or a list's index
    bool enabled = true;
};

struct PrintSettingsView {
    std::array<PrintControlView, kPrintControlCount> controls;
    // The control that gets the focus: the integer field that stopped the last take-over.
    std::optional<PrintControl> focus;

    const PrintControlView& operator[](PrintControl control) const {
        return controls[static_cast<std::size_t>(control)];
    }
    PrintControlView& operator[](PrintControl control) {
        return controls[static_cast<std::size_t>(control)];
    }
};

// A typed integer as the operator means it: optional blanks around an optional sign and
// decimal digits, within the 32-bit range. Nothing else ("", "1.5", "12abc") is one.
std::optional<std::int32_t> parseTypedInteger(std::string_view text);

// The text a spinner's arrows give: the edit's integer (0 when it holds none) moved by
// `steps` and kept within kSpinnerLowest … kSpinnerHighest.
std::string stepSpinnerText(std::string_view text, int steps);

class PrintSettingsState {
public:
    // Opening the dialog: a report style outside 0 … 2 becomes 0 in the record, the header,
    // footer and page-number switches are remembered for Cancel, and the controls are filled
    // from the record.
    explicit PrintSettingsState(Document& doc);

    const PrintSettingsView& view() const { return view_; }

    // The operator changed a control that has no rule of its own: the new text of an edit,
    // the state of the "打印表头" check box or the index chosen in a list. Nothing reaches
    // the record until the next take-over.
    void setText(PrintControl control, const std::string& text);
    void setValue(PrintControl control, std::int32_t value);

    // A click on "打印页眉", "打印页脚" or "打印页码" (its new state): every control is
    // taken over when every integer field holds one (otherwise nothing is, silently: OK
    // tells), then the switch's controls are enabled or disabled by it.
    const PrintSettingsView& onSwitchClicked(PrintControl control, bool on);
    // A report style chosen in the list: every control is taken over, the choice with them,
    // under the same rule as a switch.
    const PrintSettingsView& onStyleChosen(std::int32_t index);

    // Copies every control into the record. When an integer field holds no integer, the
    // message names it ("页边距“左”：请输入一个整数。"), the view's focus names the first such
    // field (in page order) and the record is left exactly as it was: a take-over is all or
    // nothing.
    bool takeOver();

    // "确定": true when the dialog may close, which is when every control was taken over
    // and there is something to print. With neither report nor waveform pages wanted it
    // shows kNothingToPrintMessage and the dialog stays open.
    bool onOk();
    // "取消" (and closing the window): the three switches go back to what they were when the
    // dialog opened; everything taken over meanwhile stays in the record.
    void onCancel();

private:
    // Takes every control over when all integer fields hold one; gives the first that does
    // not otherwise, and the record stays as it was.
    std::optional<PrintControl> tryTakeOver();
    void fill();
    void enable();

    Document& doc_;
    PrintSettingsView view_;
    std::int32_t startHeaderOn_ = 0;
    std::int32_t startFooterOn_ = 0;
    std::int32_t startPageNumberOn_ = 0;
};

} // namespace crackdepth
