#include "core/document/document.h"

#include "core/common/utf.h"

#include <algorithm>
#include <system_error>

namespace crackdepth {

Document::Document(UserPrompts& prompts, SettingsPaths settings)
    : prompts_(prompts), settingsPaths_(std::move(settings)) {
    if (!settingsPaths_.read.empty()) {
        LoadSettings(settingsPaths_.read, settings_);
    }
    data_.projectInfo = settings_.project;
}

Document::~Document() {
    if (!settingsPaths_.write.empty() && !saveSettings()) {
        prompts_.message(settingsSaveFailedMessage(settingsPaths_.write), MessageIcon::Warning);
    }
}

bool Document::saveSettings() {
    if (settingsPaths_.write.empty()) {
        return false;
    }
    settings_.project = data_.projectInfo;
    std::error_code ignored;
    std::filesystem::create_directories(settingsPaths_.write.parent_path(), ignored);
    return SaveSettings(settingsPaths_.write, settings_).ok;
}

void Document::addListener(DocumentListener* listener) {
    listeners_.push_back(listener);
}

void Document::removeListener(DocumentListener* listener) {
    std::erase(listeners_, listener);
}

void Document::notify(DocumentEvent event) {
    // A listener may remove itself while being told.
    const auto listeners = listeners_;
    for (DocumentListener* listener : listeners) {
        listener->documentChanged(event);
    }
}

void Document::RefreshAllViews() {
    data_.viewsDirty = true;
    notify(DocumentEvent::RefreshAllViews);
}

void Document::RepaintContentViews() {
    notify(DocumentEvent::RepaintContentViews);
}

bool Document::rawCrossingLoaded() const {
    return endsWith(data_.paths.crossingName, ".DP1");
}

bool Document::resultLoaded() const {
    return endsWith(data_.paths.currentFileName, ".DPA");
}

void Document::setTitle(const std::string& name) {
    title_ = kTitlePrefix + name;
    notify(DocumentEvent::TitleChanged);
}

void Document::showNonCrossing() {
    data_.shownList = data_.nonCrossingList.get();
    data_.showingNonCrossing = true;
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
