// The two pages of the information panel that edit the document's ProjectInfo: "检测信息"
// (TestInfoPage) and "工程信息" (ProjectInfoPage). Each is a state class holding what its
// controls show; the widget page forwards the operator's input to the on… methods and
// shows controls() after every call, so every rule of the pages is testable without a window.
#pragma once

#include "core/data/project_info.h"
#include "core/document/model/date_text.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace crackdepth {

class UserPrompts;

inline constexpr const char* kLockInfoCaption = "锁定信息";

inline constexpr std::array<const char*, 14> kDesignStrengthEntries{
    "C15", "C20", "C25", "C30", "C35", "C40", "C45",
    "C50", "C55", "C60", "C65", "C70", "C75", "C80",
};
inline constexpr std::array<const char*, 1> kTestStandardEntries{"CECS21-2000"};
// The blank after "ULK-PT6" belongs to the entry.
inline constexpr std::array<const char*, 4> kInstrumentModelEntries{
    "ULK-PT5",
    "ULK-PT5(T)",
    "ULK-PT6 ",
    "ULK-PT7",
};

enum class ControlKind { Edit, DropDown, DatePicker, CheckBox };

// What one control of a page shows.
struct ControlState {
    ControlKind kind = ControlKind::Edit;
    std::string caption;
    // The edit's text, the chosen entry (empty without a choice), the date as FormatDateText
    // writes it, or the check box's caption. It is also the control's tool tip.
    std::string text;
    // Drop-down lists: the fixed entries, followed by the stored text when that is not one
    // of them, so that the list shows it and storing the page keeps it.
    std::vector<std::string> entries;
    std::int32_t selected = -1; // index into entries, −1 without a choice
    // Date pickers: none for an invalid date, and until the page is first initialised.
    std::optional<CalendarDate> date;
    bool checked = false; // the check box
    bool enabled = true;
};

// How one control of a page is bound to the record; the pages' tables are in the source.
struct ControlBinding {
    ControlKind kind;
    const char* caption;
    std::size_t textIndex; // ProjectInfo text; unused for the check box
    std::span<const char* const> entries;
};

// What both pages share. The page keeps its own control values: a choice in a list reaches
// the record only with the page's next store(), and a date picker's date is written into
// its text only when the picker changes or the page is initialised.
class InfoPage {
public:
    std::span<const ControlState> controls() const { return controls_; }
    const ControlState& control(std::size_t field) const { return controls_.at(field); }

    // Shows the record's texts and lock state; date pickers keep their dates. A list selects
    // the first entry that begins with the stored text (letter case ignored), or else the
    // stored text as an extra entry. The fields are enabled unless the record is locked.
    void load();
    // Writes the edits, the list choices and the lock box into the record. A list without a
    // choice leaves its text as it is. On a tab change the panel stores the page it hides and
    // loads the page it shows.
    void store();

    // The operator's input. Each call naming a control of another kind, or none, is ignored.
    // Typing in an edit (user edits only, not texts the page sets itself) stores the page.
    void onTextChanged(std::size_t field, std::string_view text);
    // A choice in a list stores nothing by itself.
    void onSelectionChanged(std::size_t field, std::int32_t index);
    // Stores the page, then writes the date into the picker's text of the record.
    void onDateChanged(std::size_t field, const CalendarDate& date);
    // Stores the page (so the record's `locked` follows the box) and enables or disables the
    // page's other controls.
    void onLockClicked(bool checked);

protected:
    InfoPage(ProjectInfo& info, std::span<const ControlBinding> bindings);
    ~InfoPage() = default;
    InfoPage(const InfoPage&) = delete;
    InfoPage& operator=(const InfoPage&) = delete;

    // Reads a date picker's text from the record and writes it back in the written form.
    void normaliseDate(std::size_t field, TwoDigitYear years, const CalendarDate& today,
                       UserPrompts& prompts);

private:
    void applyLock();
    bool isKind(std::size_t field, ControlKind kind) const;
    void loadList(std::size_t field);
    void setDate(std::size_t field, const std::optional<CalendarDate>& date);

    ProjectInfo& info_;
    std::span<const ControlBinding> bindings_;
    std::vector<ControlState> controls_;
};

// "检测信息": who tested what with which instrument, and the report date.
class TestInfoPage final : public InfoPage {
public:
    static constexpr const char* kTitle = "检测信息";

    // The controls, top to bottom.
    enum Field : std::size_t {
        kProjectNameEdit,
        kTestingOrganisationEdit,
        kTesterEdit,
        kTestStandardList,
        kInstrumentModelList,
        kInstrumentNumberEdit,
        kTestNumberEdit,
        kReportDatePicker,
        kLockBox,
        kFieldCount,
    };

    // Binds the page to the record (which must outlive it) and shows the record.
    explicit TestInfoPage(ProjectInfo& info);

    // Run when the page is created and on every refresh of the panel: rewrites the report
    // date in the written form ("2012年10月20日" becomes "2012-10-20"), then loads the page.
    void initialise(const CalendarDate& today, UserPrompts& prompts);

    // "检测依据" received the keyboard focus: the page shows the record again, dropping a
    // list choice that was not stored yet.
    void onTestStandardFocused() { load(); }
};

// "工程信息": the construction side, the member and its dates.
class ProjectInfoPage final : public InfoPage {
public:
    static constexpr const char* kTitle = "工程信息";

    enum Field : std::size_t {
        kConstructionOrganisationEdit,
        kClientEdit,
        kCommissionNumberEdit,
        kDesignStrengthList,
        kCastingDatePicker,
        kTestDatePicker,
        kTestAgeEdit,
        kComponentNameEdit,
        kLockBox,
        kFieldCount,
    };

    explicit ProjectInfoPage(ProjectInfo& info);

    // Rewrites the test date, then the casting date, in the written form, a two-digit year
    // becoming one of the 2000s ("12-10-20" becomes "2012-10-20"), then loads the page.
    void initialise(const CalendarDate& today, UserPrompts& prompts);
};

// The date texts of the record in the form the pages write them, as both pages' initialise
// leave them: the document runs this whenever its record is replaced (start-up, open), so
// that showing the pages never changes the record.
void NormaliseInfoDates(ProjectInfo& info, const CalendarDate& today, UserPrompts& prompts);

} // namespace crackdepth
