#include "core/document/model/document.h"

#include "core/common/utf.h"
#include "core/data/amplitude.h"
#include "core/document/model/line_tabs.h"
#include "core/document/panel_state/info_pages.h"

#include <algorithm>
#include <system_error>

namespace crackdepth {

Document::Document(UserPrompts& prompts, SettingsPaths settings)
    : prompts_(prompts), settingsPaths_(std::move(settings)) {
    if (!settingsPaths_.read.empty() && !LoadSettings(settingsPaths_.read, settings_)) {
        // Said once for the whole file; the damaged values are already back at their defaults
        // and the file is written sound at the end of the run.
        prompts_.message(settingsResetMessage(settingsPaths_.read), MessageIcon::Warning);
    }
    data_.projectInfo = settings_.project;
    NormaliseInfoDates(data_.projectInfo, today_(), prompts_);
}

Document::~Document() {
    if (settingsPaths_.write.empty()) {
        return;
    }
    if (const WriteOutcome outcome = writeSettings(); !outcome.ok) {
        prompts_.message(settingsSaveFailedMessage(settingsPaths_.write, systemReasonOf(outcome)),
                         MessageIcon::Warning);
    }
}

bool Document::saveSettings() {
    return !settingsPaths_.write.empty() && writeSettings().ok;
}

WriteOutcome Document::writeSettings() {
    settings_.project = data_.projectInfo;
    std::error_code ignored;
    std::filesystem::create_directories(settingsPaths_.write.parent_path(), ignored);
    return SaveSettings(settingsPaths_.write, settings_);
}

void Document::addListener(DocumentListener* listener) {
    listeners_.push_back(listener);
}

void Document::removeListener(DocumentListener* listener) {
    std::erase(listeners_, listener);
}

void Document::notify(DocumentChange change) {
    ++revision_;
    // Selecting settles the shown line's header dates and the base name, which no analysis
    // or check reads; the two-point partner it settles, the analysis names itself.
    if (change.flags != DocumentChange::Selection) {
        ++dataRevision_;
    }
    // A listener may remove itself while being told.
    const auto listeners = listeners_;
    for (DocumentListener* listener : listeners) {
        listener->documentChanged(change);
    }
}

void Document::perform(std::unique_ptr<Edit> edit) {
    edit->apply(data_);
    DocumentChange change = edit->change();
    change.flags |= DocumentChange::Data | DocumentChange::History;
    history_.record(std::move(edit));
    settle();
    notify(change);
}

void Document::Undo() {
    if (const Edit* edit = history_.undo(data_)) {
        DocumentChange change = edit->change();
        change.flags |= DocumentChange::Data | DocumentChange::History;
        settle();
        notify(change);
    }
}

void Document::Redo() {
    if (const Edit* edit = history_.redo(data_)) {
        DocumentChange change = edit->change();
        change.flags |= DocumentChange::Data | DocumentChange::History;
        settle();
        notify(change);
    }
}

void Document::showPreview(Edit& edit) {
    edit.apply(data_);
    DocumentChange change = edit.change();
    change.flags |= DocumentChange::Data;
    notify(change);
}

void Document::withdrawPreview(Edit& edit) {
    edit.revert(data_);
    DocumentChange change = edit.change();
    change.flags |= DocumentChange::Data;
    notify(change);
}

void Document::startHistory() {
    history_.clear();
    notify({DocumentChange::History});
}

void Document::SelectTab(std::int32_t tab) {
    const std::int32_t selected = std::clamp(tab, 0, crossingTabCount(data_));
    data_.currentTab = selected;
    if (selected == 0) {
        data_.shown = ShownLine::NonCrossing;
    } else {
        data_.currentCrossingEntry = static_cast<std::size_t>(selected - 1);
        data_.shown = ShownLine::Crossing;
    }
    settle();
    notify({DocumentChange::Selection, data_.shownId(), std::nullopt});
}

void Document::SelectPoint(LineId id, std::int32_t index) {
    PointList* line = data_.line(id);
    if (line == nullptr || line->empty()) {
        return;
    }
    line->currentIndex = std::clamp(index, 0, static_cast<std::int32_t>(line->size()) - 1);
    settle();
    notify({DocumentChange::Selection, id, line->currentIndex});
}

void Document::ShowLine(ShownLine line) {
    data_.shown = line;
    settle();
    notify({DocumentChange::Selection, data_.shownId(), std::nullopt});
}

void Document::settle() {
    // The two-point method pairs point 0 with the current point; while point 0 itself is
    // viewed (or re-picked) it keeps the point it paired with last.
    PointList* nonCrossing = data_.nonCrossingList.get();
    if (nonCrossing != nullptr && nonCrossing->currentIndex > 0) {
        nonCrossing->pairedIndex = nonCrossing->currentIndex;
    }
    if (data_.shownList() == nullptr) {
        return;
    }
    const std::string& name = data_.paths.nonCrossingName;
    data_.paths.currentBaseName =
        utf16Length(name) >= 5 ? withoutLastUnits(name, 4) : std::string();
    if (TestParameters* header = data_.header(*data_.shownId())) {
        settleHeader(*header);
    }
}

// A line's date as the information panel shows it: a zero part becomes today's and the test
// date is written in the plain form (a two-digit year becoming one of the 2000s).
void Document::settleHeader(TestParameters& shown) {
    TestParameters* header = &shown;
    const CalendarDate now = today_();
    LineDate& date = header->lineDate;
    date.year = date.year == 0 ? static_cast<std::uint16_t>(now.year) : date.year;
    date.month = date.month == 0 ? static_cast<std::uint16_t>(now.month) : date.month;
    date.day = date.day == 0 ? static_cast<std::uint16_t>(now.day) : date.day;
    // A text too short to hold a date is left as it is rather than replaced by today.
    if (utf16Length(header->testDate) >= 5) {
        const std::string plain =
            FormatDateText(ReadDateField(header->testDate, TwoDigitYear::In2000s, now, prompts_));
        header->testDate = plain;
    }
}

bool Document::rawCrossingLoaded() const {
    return endsWith(data_.paths.crossingName, ".DP1");
}

bool Document::resultLoaded() const {
    return endsWith(data_.paths.currentFileName, ".DPA");
}

void Document::setTitle(const std::string& name) {
    // Without a file the program's name alone, as at the start (not a prefix ending in " - ").
    title_ = name.empty() ? std::string(kProgramTitle) : kTitlePrefix + name;
    notify({DocumentChange::Title});
}

void Document::showNonCrossing() {
    data_.shown = ShownLine::NonCrossing;
}

FileList Document::fileList() const {
    FileList list;
    if (path_.empty()) {
        return list;
    }
    const std::filesystem::path opened(path_);
    const std::string name = fileNameOf(path_);
    const std::string extension = name.size() >= 4 ? name.substr(name.size() - 4) : name;
    std::error_code error;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& entry : std::filesystem::directory_iterator(
             opened.parent_path().empty() ? "." : opened.parent_path(), error)) {
        const std::string candidate = entry.path().filename().string();
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && endsWith(candidate, extension)) {
            entries.emplace_back(candidate, entry.path().string());
        }
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& [entryName, entryPath] : entries) {
        if (entryName == name) {
            list.selected = static_cast<int>(list.names.size());
        }
        list.names.push_back(entryName);
        list.paths.push_back(entryPath);
    }
    return list;
}

} // namespace crackdepth
