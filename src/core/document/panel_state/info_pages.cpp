#include "core/document/panel_state/info_pages.h"

#include <algorithm>
#include <cstddef>

namespace crackdepth {
namespace {

constexpr std::size_t kNoText = ProjectInfo::kTextCount;

constexpr std::array<ControlBinding, TestInfoPage::kFieldCount> kTestInfoBindings{{
    {ControlKind::Edit, "工程名称", kProjectName, {}},
    {ControlKind::Edit, "检测单位", kTestingOrganisation, {}},
    {ControlKind::Edit, "检测人员", kTester, {}},
    {ControlKind::DropDown, "检测依据", kTestStandard, kTestStandardEntries},
    {ControlKind::DropDown, "仪器型号", kInstrumentModel, kInstrumentModelEntries},
    {ControlKind::Edit, "仪器编号", kInstrumentNumber, {}},
    {ControlKind::Edit, "检测编号", kTestNumber, {}},
    {ControlKind::DatePicker, "报告日期", kReportDate, {}},
    {ControlKind::CheckBox, kLockInfoCaption, kNoText, {}},
}};

constexpr std::array<ControlBinding, ProjectInfoPage::kFieldCount> kProjectInfoBindings{{
    {ControlKind::Edit, "施工单位", kConstructionOrganisation, {}},
    {ControlKind::Edit, "委托单位", kClient, {}},
    {ControlKind::Edit, "委托编号", kCommissionNumber, {}},
    {ControlKind::DropDown, "设计强度", kDesignStrength, kDesignStrengthEntries},
    {ControlKind::DatePicker, "浇注日期", kCastingDate, {}},
    {ControlKind::DatePicker, "检测日期", kTestDate, {}},
    {ControlKind::Edit, "检测龄期", kTestAge, {}},
    {ControlKind::Edit, "构件名称", kComponentName, {}},
    {ControlKind::CheckBox, kLockInfoCaption, kNoText, {}},
}};

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool beginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

} // namespace

InfoPage::InfoPage(ProjectInfo& info, std::span<const ControlBinding> bindings)
    : info_(info), bindings_(bindings) {
    controls_.reserve(bindings.size());
    for (const ControlBinding& binding : bindings) {
        ControlState control;
        control.kind = binding.kind;
        control.caption = binding.caption;
        if (binding.kind == ControlKind::CheckBox) {
            control.text = binding.caption;
        }
        controls_.push_back(std::move(control));
    }
    load();
}

bool InfoPage::isKind(std::size_t field, ControlKind kind) const {
    return field < controls_.size() && controls_[field].kind == kind;
}

void InfoPage::load() {
    for (std::size_t field = 0; field < controls_.size(); ++field) {
        ControlState& control = controls_[field];
        switch (control.kind) {
        case ControlKind::Edit:
            control.text = info_.texts[bindings_[field].textIndex];
            break;
        case ControlKind::DropDown:
            loadList(field);
            break;
        case ControlKind::CheckBox:
            control.checked = info_.locked != 0;
            break;
        case ControlKind::DatePicker:
            break;
        }
    }
    applyLock();
}

void InfoPage::loadList(std::size_t field) {
    ControlState& control = controls_[field];
    const std::string& stored = info_.texts[bindings_[field].textIndex];
    const std::span<const char* const> fixed = bindings_[field].entries;
    control.entries.assign(fixed.begin(), fixed.end());
    const auto match =
        std::find_if(control.entries.begin(), control.entries.end(), [&](const std::string& entry) {
            return beginsWithIgnoringCase(entry, stored);
        });
    if (match == control.entries.end()) {
        control.entries.push_back(stored);
        control.selected = static_cast<std::int32_t>(control.entries.size() - 1);
    } else {
        control.selected = static_cast<std::int32_t>(match - control.entries.begin());
    }
    control.text = control.entries[static_cast<std::size_t>(control.selected)];
}

void InfoPage::store() {
    for (std::size_t field = 0; field < controls_.size(); ++field) {
        const ControlState& control = controls_[field];
        switch (control.kind) {
        case ControlKind::Edit:
            info_.texts[bindings_[field].textIndex] = control.text;
            break;
        case ControlKind::DropDown:
            if (control.selected >= 0) {
                info_.texts[bindings_[field].textIndex] = control.text;
            }
            break;
        case ControlKind::CheckBox:
            info_.locked = control.checked ? 1 : 0;
            break;
        case ControlKind::DatePicker:
            break;
        }
    }
}

void InfoPage::onTextChanged(std::size_t field, std::string_view text) {
    if (!isKind(field, ControlKind::Edit)) {
        return;
    }
    controls_[field].text = text;
    store();
}

void InfoPage::onSelectionChanged(std::size_t field, std::int32_t index) {
    if (!isKind(field, ControlKind::DropDown)) {
        return;
    }
    ControlState& control = controls_[field];
    if (index < 0 || static_cast<std::size_t>(index) >= control.entries.size()) {
        return;
    }
    control.selected = index;
    control.text = control.entries[static_cast<std::size_t>(index)];
}

void InfoPage::onDateChanged(std::size_t field, const CalendarDate& date) {
    if (!isKind(field, ControlKind::DatePicker)) {
        return;
    }
    setDate(field, MakeDate(date.year, date.month, date.day));
    store();
    info_.texts[bindings_[field].textIndex] = controls_[field].text;
}

void InfoPage::onLockClicked(bool checked) {
    for (ControlState& control : controls_) {
        if (control.kind == ControlKind::CheckBox) {
            control.checked = checked;
        }
    }
    store();
    applyLock();
}

void InfoPage::normaliseDate(std::size_t field, TwoDigitYear years, const CalendarDate& today,
                             UserPrompts& prompts) {
    const std::size_t textIndex = bindings_[field].textIndex;
    setDate(field, ReadDateField(info_.texts[textIndex], years, today, prompts));
    info_.texts[textIndex] = controls_[field].text;
}

void InfoPage::setDate(std::size_t field, const std::optional<CalendarDate>& date) {
    controls_[field].date = date;
    controls_[field].text = FormatDateText(date);
}

void InfoPage::applyLock() {
    const bool locked = info_.locked != 0;
    for (ControlState& control : controls_) {
        control.enabled = control.kind == ControlKind::CheckBox || !locked;
    }
}

TestInfoPage::TestInfoPage(ProjectInfo& info) : InfoPage(info, kTestInfoBindings) {}

void TestInfoPage::initialise(const CalendarDate& today, UserPrompts& prompts) {
    normaliseDate(kReportDatePicker, TwoDigitYear::AsWritten, today, prompts);
    load();
}

ProjectInfoPage::ProjectInfoPage(ProjectInfo& info) : InfoPage(info, kProjectInfoBindings) {}

void ProjectInfoPage::initialise(const CalendarDate& today, UserPrompts& prompts) {
    normaliseDate(kTestDatePicker, TwoDigitYear::In2000s, today, prompts);
    normaliseDate(kCastingDatePicker, TwoDigitYear::In2000s, today, prompts);
    load();
}

void NormaliseInfoDates(ProjectInfo& info, const CalendarDate& today, UserPrompts& prompts) {
    TestInfoPage(info).initialise(today, prompts);
    ProjectInfoPage(info).initialise(today, prompts);
}

} // namespace crackdepth
