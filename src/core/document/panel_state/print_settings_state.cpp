#include "core/document/panel_state/print_settings_state.h"

#include "core/document/panel_state/number_entry.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace crackdepth {
namespace {

using C = PrintControl;
using K = PrintControlKind;

constexpr std::array<PrintControlInfo, kPrintControlCount> kControls = {{
    {K::Integer, "边框", false, {}, C::BorderWidth},
    {K::Integer, "网格", false, {}, C::GridWidth},
    {K::Integer, "上", true, {}, C::TopMargin},
    {K::Integer, "下", true, {}, C::BottomMargin},
    {K::Integer, "左", true, {}, C::LeftMargin},
    {K::Integer, "右", true, {}, C::RightMargin},
    {K::Check, "打印页码", false, {}, C::PageNumberOn},
    {K::Choice, "页码位置", false, kPageNumberPositionNames, C::PageNumberOn},
    {K::Integer, "起始页码", true, {}, C::PageNumberOn},
    {K::Choice, "页码格式", false, kPageNumberFormatNames, C::PageNumberOn},
    {K::Check, "打印页眉", false, {}, C::HeaderOn},
    {K::Integer, "高度", true, {}, C::HeaderOn},
    {K::Choice, "位置", false, kPrintPositionNames, C::HeaderOn},
    {K::Choice, "字体", false, kPrintFontNames, C::HeaderOn},
    {K::Text, " 页眉内容", false, {}, C::HeaderOn},
    {K::Check, "打印页脚", false, {}, C::FooterOn},
    {K::Integer, "高度", true, {}, C::FooterOn},
    {K::Choice, "位置", false, kPrintPositionNames, C::FooterOn},
    {K::Choice, "字体", false, kPrintFontNames, C::FooterOn},
    {K::Text, "页脚内容", false, {}, C::FooterOn},
    {K::Check, "打印表头", false, {}, C::TableHead},
    {K::Choice, "报告\n样式", false, kReportStyleNames, C::ReportStyle},
    {K::Check, kListChecksCaption, false, {}, C::ListChecks},
}};

// The one list of controls with the record field each edits, walked both to fill the
// controls and to take them over. "打印报告" and "打印波形" have no control.
template <typename Visitor, typename S> void visitControls(Visitor& v, S& s) {
    v(C::BorderWidth, s.borderWidth);
    v(C::GridWidth, s.gridWidth);
    v(C::TopMargin, s.topMargin);
    v(C::BottomMargin, s.bottomMargin);
    v(C::LeftMargin, s.leftMargin);
    v(C::RightMargin, s.rightMargin);
    v(C::PageNumberOn, s.pageNumberOn);
    v(C::PageNumberPosition, s.pageNumberPosition);
    v(C::StartPageNumber, s.startPageNumber);
    v(C::PageNumberFormat, s.pageNumberFormat);
    v(C::HeaderOn, s.headerOn);
    v(C::HeaderHeight, s.headerHeight);
    v(C::HeaderPosition, s.headerPosition);
    v(C::HeaderFont, s.headerFont);
    v(C::HeaderText, s.headerText);
    v(C::FooterOn, s.footerOn);
    v(C::FooterHeight, s.footerHeight);
    v(C::FooterPosition, s.footerPosition);
    v(C::FooterFont, s.footerFont);
    v(C::FooterText, s.footerText);
    v(C::TableHead, s.tableHead);
    v(C::ReportStyle, s.reportStyle);
    v(C::ListChecks, s.listChecks);
}

// Record into controls. A check box shows a stored value other than 0 as ticked; the value
// itself is kept, so that an untouched switch is taken over unchanged.
struct Filler {
    PrintSettingsView& view;

    void operator()(PrintControl control, std::int32_t value) {
        if (printControlInfo(control).kind == K::Integer) {
            view[control].text = std::to_string(value);
        } else {
            view[control].value = value;
        }
    }
    void operator()(PrintControl control, const std::string& text) { view[control].text = text; }
};

// Controls into a record; notes the first integer field that holds no integer and leaves
// its field as it was.
struct Taker {
    const PrintSettingsView& view;
    std::optional<PrintControl> bad;

    void operator()(PrintControl control, std::int32_t& value) {
        if (printControlInfo(control).kind != K::Integer) {
            value = view[control].value;
        } else if (const auto typed = parseTypedInteger(view[control].text)) {
            value = *typed;
        } else if (!bad) {
            bad = control;
        }
    }
    void operator()(PrintControl control, std::string& text) { text = view[control].text; }
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string printFieldName(PrintControl control) {
    const char* group = "";
    switch (control) {
    case C::BorderWidth:
    case C::GridWidth:
        group = "线型";
        break;
    case C::TopMargin:
    case C::BottomMargin:
    case C::LeftMargin:
    case C::RightMargin:
        group = "页边距";
        break;
    case C::StartPageNumber:
        group = "页码";
        break;
    case C::HeaderHeight:
        group = "页眉";
        break;
    case C::FooterHeight:
        group = "页脚";
        break;
    default:
        break;
    }
    return std::string(group) + "“" + printControlInfo(control).caption + "”";
}

const PrintControlInfo& printControlInfo(PrintControl control) {
    return kControls[static_cast<std::size_t>(control)];
}

std::optional<std::int32_t> parseTypedInteger(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    // from_chars takes a minus sign but no plus sign; a sign alone or twice is no number.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string stepSpinnerText(std::string_view text, int steps) {
    const std::int64_t from = parseTypedInteger(text).value_or(0);
    const std::int64_t to = std::clamp<std::int64_t>(from + steps, kSpinnerLowest, kSpinnerHighest);
    return std::to_string(to);
}

PrintSettingsState::PrintSettingsState(Document& doc) : doc_(doc) {
    PrintSettings print = doc_.settings().print;
    if (print.reportStyle < 0 || print.reportStyle > 2) {
        print.reportStyle = 0;
        doc_.setPrintSettings(print);
    }
    startHeaderOn_ = print.headerOn;
    startFooterOn_ = print.footerOn;
    startPageNumberOn_ = print.pageNumberOn;
    fill();
    enable();
}

void PrintSettingsState::fill() {
    Filler filler{view_};
    visitControls(filler, std::as_const(doc_.settings().print));
}

// Follows the switches as the controls show them: after a take-over that is the record,
// and after one that stopped at a bad field it is what the operator clicked.
void PrintSettingsState::enable() {
    for (std::size_t k = 0; k < kPrintControlCount; ++k) {
        const auto control = static_cast<PrintControl>(k);
        const PrintControl by = kControls[k].enabledBy;
        view_[control].enabled = by == control || view_[by].value != 0;
    }
}

void PrintSettingsState::setText(PrintControl control, const std::string& text) {
    view_[control].text = text;
}

void PrintSettingsState::setValue(PrintControl control, std::int32_t value) {
    view_[control].value = value;
}

std::optional<PrintControl> PrintSettingsState::tryTakeOver() {
    PrintSettings taken = doc_.settings().print;
    Taker taker{view_, std::nullopt};
    visitControls(taker, taken);
    if (taker.bad) {
        return taker.bad;
    }
    doc_.setPrintSettings(taken);
    return std::nullopt;
}

bool PrintSettingsState::takeOver() {
    view_.focus.reset();
    if (const auto bad = tryTakeOver()) {
        doc_.prompts().message(entryMessage(printFieldName(*bad), kNotAnIntegerMessage));
        view_.focus = bad;
        return false;
    }
    return true;
}

// A click elsewhere in the dialog is never the moment to check a field: the switches and the
// style list take the controls over when they all hold integers and otherwise leave the
// record for OK, which says what is wrong. No message, no focus moved, no click lost.
const PrintSettingsView& PrintSettingsState::onSwitchClicked(PrintControl control, bool on) {
    view_[control].value = on ? 1 : 0;
    view_.focus.reset();
    tryTakeOver();
    enable();
    return view_;
}

const PrintSettingsView& PrintSettingsState::onStyleChosen(std::int32_t index) {
    view_[C::ReportStyle].value = index;
    view_.focus.reset();
    tryTakeOver();
    return view_;
}

bool PrintSettingsState::onOk() {
    if (!takeOver()) {
        return false;
    }
    const PrintSettings& print = doc_.settings().print;
    if (print.printReport != 0 || print.printWaveforms != 0) {
        return true;
    }
    doc_.prompts().message(kNothingToPrintMessage);
    return false;
}

void PrintSettingsState::onCancel() {
    PrintSettings print = doc_.settings().print;
    print.headerOn = startHeaderOn_;
    print.footerOn = startFooterOn_;
    print.pageNumberOn = startPageNumberOn_;
    doc_.setPrintSettings(print);
}

} // namespace crackdepth
