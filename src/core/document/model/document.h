// The one document of the program: the measurement data, the settings remembered between
// runs and every file command (open, save, save as, quick save, close, exit), with the
// questions and messages of each flow going through UserPrompts. The data are read-only to
// everyone else: they change only through the edits the document performs (and can undo)
// and through its selection operations, and every change is announced to the listeners.
#pragma once

#include "core/common/utf.h"
#include "core/data/settings_file.h"
#include "core/data/settings_location.h"
#include "core/document/model/date_text.h"
#include "core/document/model/document_data.h"
#include "core/document/model/edit.h"
#include "core/document/model/file_kinds.h"
#include "core/document/model/filter_settings.h"
#include "core/document/model/undo_history.h"
#include "core/document/model/user_prompts.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace crackdepth {

inline constexpr const char* kProgramTitle = "ULK浅裂缝分析软件   Dalmora";
inline constexpr const char* kTitlePrefix = "ULK浅裂缝分析软件   Dalmora - ";
inline constexpr const char* kTestStandardText = "CECS21-2000";
inline constexpr const char* kOpenFirstMessage = "请先打开文件!";
inline constexpr const char* kNeedNonCrossingMessage = "请先打开不跨裂缝文件，才能执行此操作！";
inline constexpr const char* kCannotOpenMessage = "无法打开此文件！";
// The save and open dialogs of the file commands name each kind as every other dialog does.
inline constexpr const char* kResultFilter = kResultFileFilter;
inline constexpr const char* kOpenNonCrossingFilter = kNonCrossingFileFilter;
inline constexpr const char* kOpenResultFilter = kResultFileFilter;
inline constexpr const char* kOpenAnyFilter = "所有文件(*.*)|*.*||";

class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    virtual void documentChanged(const DocumentChange& change) = 0;
};

struct FileList {
    std::vector<std::string> names; // files of the folder with the same extension, sorted
    std::vector<std::string> paths;
    int selected = -1; // the open file's entry
};

enum class OpenOutcome { Opened, Refused, Cancelled };

class Document {
public:
    // Loads the settings file `settings.read` (missing: defaults, and the test and casting
    // dates become 2012-10-20). An empty path keeps the defaults and saves nothing.
    Document(UserPrompts& prompts, SettingsPaths settings);
    // Saves the settings file to `settings.write`; says so once when it cannot.
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const DocumentData& data() const { return data_; }
    // Print settings, pane widths, legacy values; changed only through the setters, which the
    // print-settings dialog and the window's pane use.
    const Settings& settings() const { return settings_; }
    void setPrintSettings(const PrintSettings& print) { settings_.print = print; }
    void setPanelWidths(const std::array<std::int32_t, 3>& widths) {
        settings_.panelWidths = widths;
    }
    const ProjectInfo& projectInfo() const { return data_.projectInfo; }
    UserPrompts& prompts() { return prompts_; }
    // Writes the settings file now (the destructor does too); false when it cannot.
    bool saveSettings();
    // The calendar the document's date rules read (the local clock unless a test sets one).
    void setToday(std::function<CalendarDate()> today) { today_ = std::move(today); }
    CalendarDate today() const { return today_(); }

    void addListener(DocumentListener* listener);
    void removeListener(DocumentListener* listener);
    // Counts every announced change, so a reader can tell whether what it derived from the
    // data is still current.
    std::uint64_t revision() const { return revision_; }
    // Counts the announced changes that may have changed more than the selection.
    std::uint64_t dataRevision() const { return dataRevision_; }

    // Edits: applies the edit, records it for undo, marks the document modified and
    // announces it.
    void perform(std::unique_ptr<Edit> edit);
    const Edit* undoable() const { return history_.undoable(); }
    const Edit* redoable() const { return history_.redoable(); }
    // The memory the undo history keeps, in bytes.
    std::size_t historyBytes() const { return history_.heldBytes(); }
    void Undo();
    void Redo();
    // A dialog's live preview (see LivePreview): the edit is applied and announced like one,
    // but not recorded, so undo, redo and the modified flag stay as they are. It must be
    // withdrawn before anything else changes the data.
    void showPreview(Edit& edit);
    void withdrawPreview(Edit& edit);

    // Selection (not edits: nothing stored changes). A tab selection makes the tab's line
    // current and shown; `index` is limited to the tabs there are.
    void SelectTab(std::int32_t tab);
    // Makes point `index` (limited to the line) the line's current point.
    void SelectPoint(LineId line, std::int32_t index);
    void ShowLine(ShownLine line);

    // Takes over a measurement held elsewhere (lines, selection, corrections and all), as an
    // open does: a new history, settled data, every view told. `path` becomes the document's
    // file.
    void Load(DocumentData data, const std::string& path = {});
    // Load for data that were never saved (a recovery copy): the document names `path`, so a
    // save writes there, and stays modified until it is saved.
    void Restore(DocumentData data, const std::string& path);

    // Opening: the flow is chosen by the path's last three characters ("DP0", "DP1",
    // "DPA"). Every open, whatever asked for it, first applies the save rule
    // (AskToSaveChanges). A failed open leaves the document's data as they were.
    bool OpenDocument(const std::string& path);
    // The same open, telling a file that was refused from an open the user called off.
    OpenOutcome Open(const std::string& path);
    // Saving: the file name's extension (".DP0", ".DP1", ".DPA") chooses the format; a raw
    // file gets the line of its format. Afterwards the title, the file list and path() name
    // the written file, or the line's own file when a raw save went elsewhere.
    bool SaveDocument(const std::string& path);

    // The file commands of the menu.
    void OpenNonCrossingCommand();
    void OpenResultCommand();
    // Ctrl+O: the general open dialog ("所有文件(*.*)"), any kind of file.
    void OpenAnyCommand();
    void SaveAsCommand();
    void QuickSaveCommand();
    // The save rule of every path that drops what the document holds (open, new, close,
    // exit): for a modified document one question "是否保存对 … 的更改?" (Yes/No/Cancel), none
    // otherwise. Yes saves the whole document: every line to the file it came from (a result
    // file holds them all), or through "结果文件另存为" when the document names no file. True
    // when the caller may go on: unmodified, No, or Yes and saved; false after Cancel or a
    // save that did not happen.
    bool AskToSaveChanges();
    // Ctrl+N: after the save rule, the document names no file any more and counts as saved;
    // its lines and every other value stay. False when the save rule stopped it.
    bool NewCommand();
    // "关闭当前文档", after the save rule: a crossing raw file's line alone (the document
    // steps back to what it held before), otherwise everything.
    void CloseCommand();
    // The save rule at exit; true when the program may end (the settings are then saved by
    // the destructor).
    bool ExitCommand();

    // True from the first edit until a save or an undo back to the saved state, and while
    // lines that stayed through a partial close or open hold unsaved edits.
    bool IsModified() const { return history_.differsFromSaved() || unsavedBeyondHistory_; }
    const std::string& path() const { return path_; } // the document's file
    const std::string& title() const { return title_; }
    FileList fileList() const; // the open file's folder, for the information panel

    bool hasNonCrossingLine() const { return data_.nonCrossingList != nullptr; }
    bool hasCrossingLine() const { return data_.currentCrossingList() != nullptr; }
    bool rawCrossingLoaded() const; // crossingName ends in ".DP1"
    bool resultLoaded() const;      // currentFileName ends in ".DPA"

    // The filter settings the filter dialog last left, where it starts the next time; an
    // open switches both filters off.
    const FilterSettings& filterSettings() const { return filterSettings_; }
    void rememberFilterSettings(const FilterSettings& settings) { filterSettings_ = settings; }

private:
    void notify(DocumentChange change);
    // Writes the settings file with the current project information.
    WriteOutcome writeSettings();
    bool openNonCrossing(const std::string& path);
    bool openCrossing(const std::string& path);
    bool openResult(const std::string& path);
    // `keepsUnsaved`: lines that stay hold unsaved edits (see unsavedBeyond).
    void finishOpen(const std::string& path, bool keepsUnsaved);
    // What every open ends with: settled data, a new history and every listener told.
    void takeOver(const std::string& path, bool keepsUnsaved = false);
    // True when unsaved edits concern more than the line `dropped` (any line without one):
    // what a close or an open that drops that line alone leaves modified.
    bool unsavedBeyond(std::optional<LineId> dropped) const;
    // Yes to the save question: every line to its file.
    bool saveWhole();
    bool writeLine(const std::string& path, const TestParameters& header, const PointList& line);
    // What a save settles before writing: `edit` is applied and `write` run; the edit becomes
    // an undo step (when it changed something) only if the write succeeded, and is reverted
    // otherwise, so that a failed save leaves the data, undo and redo as they were.
    bool performIfWritten(std::unique_ptr<Edit> edit, const std::function<bool()>& write);
    // The common end of a save; `namedPath` is the file the document names from now on (the
    // written one, or the line's own file when a raw save went elsewhere).
    void finishSave(const std::string& namedPath);
    void setTitle(const std::string& name);
    void showNonCrossing();
    // Starts a new history whose state counts as saved.
    void startHistory();
    // The writes that reading the data used to make: run after an open, a selection, an
    // undo or a redo, so that every view reads settled data and never writes.
    void settle();
    void settleHeader(TestParameters& header);

    UserPrompts& prompts_;
    SettingsPaths settingsPaths_;
    Settings settings_;
    FilterSettings filterSettings_;
    DocumentData data_;
    UndoHistory history_;
    std::vector<DocumentListener*> listeners_;
    std::uint64_t revision_ = 0;
    std::uint64_t dataRevision_ = 0;
    std::function<CalendarDate()> today_ = LocalToday;
    // Unsaved edits of lines that stayed when a close or an open dropped another line and
    // with it the history.
    bool unsavedBeyondHistory_ = false;
    std::string path_;
    std::string title_ = kProgramTitle;
};

} // namespace crackdepth
