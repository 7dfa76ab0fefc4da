// The one document of the program: the measurement data, the settings remembered between
// runs and every file command (open, save, save as, quick save, close, exit), with the
// questions and messages of each flow going through UserPrompts. The data are read-only to
// everyone else: they change only through the edits the document performs (and can undo)
// and through its selection operations, and every change is announced to the listeners.
#pragma once

#include "core/common/utf.h"
#include "core/data/settings_file.h"
#include "core/data/settings_location.h"
#include "core/document/date_text.h"
#include "core/document/document_data.h"
#include "core/document/edit.h"
#include "core/document/undo_history.h"
#include "core/document/user_prompts.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace crackdepth {

inline constexpr const char* kTitlePrefix = "ULK浅裂缝分析软件   Dalmora - ";
inline constexpr const char* kTestStandardText = "CECS21-2000";
inline constexpr const char* kOpenFirstMessage = "请先打开文件!";
inline constexpr const char* kNeedNonCrossingMessage = "请先打开不跨裂缝文件，才能执行此操作！";
inline constexpr const char* kSaveResultQuestion = "数据已经修改，是否保存结果文件？";
inline constexpr const char* kCloseQuestion = "请确定文档都已保存！是否继续关闭当前文档？\n";
inline constexpr const char* kExitQuestion = "请确定文档都已保存！是否继续退出？\n";
inline constexpr const char* kCannotOpenMessage = "无法打开此文件！";
inline constexpr const char* kResultFilter = "声波结果文件 (*.DPA)|*.DPA||";
inline constexpr const char* kOpenNonCrossingFilter = "跨裂缝原始文件 (*.DP0)|*.DP0||";
inline constexpr const char* kOpenResultFilter = "跨裂缝原始文件 (*.DPA)|*.DPA||";

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

// Where an open was asked for: a double-click in the information panel's file list asks to
// save a modified crossing line first.
enum class OpenOrigin { Command, FileList };

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
    Settings& settings() { return settings_; } // print settings, pane widths, legacy values
    const Settings& settings() const { return settings_; }
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

    // Edits: applies the edit, records it for undo, marks the document modified and
    // announces it.
    void perform(std::unique_ptr<Edit> edit);
    const Edit* undoable() const { return history_.undoable(); }
    const Edit* redoable() const { return history_.redoable(); }
    void Undo();
    void Redo();

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
    // "DPA"). A failed open leaves the document's data as they were.
    bool OpenDocument(const std::string& path, OpenOrigin origin = OpenOrigin::Command);
    // Saving: the file name's extension (".DP0", ".DP1", ".DPA") chooses the format; a raw
    // file gets the line of its format. Afterwards the title, the file list and path() name
    // the written file, or the line's own file when a raw save went elsewhere.
    bool SaveDocument(const std::string& path);

    // The file commands of the menu.
    void OpenNonCrossingCommand();
    void OpenResultCommand();
    void SaveAsCommand();
    void QuickSaveCommand();
    // Ctrl+N: after the save question for a modified document (Cancel, or a save that did
    // not happen, ends it: false), the document names no file any more and counts as saved;
    // its lines and every other value stay.
    bool NewCommand();
    void CloseCommand();
    // The exit questions; true when the program may end (the settings are then saved by
    // the destructor).
    bool ExitCommand();

    bool IsModified() const { return history_.differsFromSaved(); }
    const std::string& path() const { return path_; } // the document's file
    const std::string& title() const { return title_; }
    FileList fileList() const; // the open file's folder, for the information panel

    bool hasNonCrossingLine() const { return data_.nonCrossingList != nullptr; }
    bool hasCrossingLine() const { return data_.currentCrossingList() != nullptr; }
    bool rawCrossingLoaded() const; // crossingName ends in ".DP1"
    bool resultLoaded() const;      // currentFileName ends in ".DPA"

    // The filter the waveform commands apply, as the filter dialog last set it.
    float filterHighCut = 20; // kHz
    float filterLowCut = 50;  // kHz
    bool filterHighOn = false;
    bool filterLowOn = false;

private:
    void notify(DocumentChange change);
    bool openNonCrossing(const std::string& path);
    bool openCrossing(const std::string& path, OpenOrigin origin);
    bool openResult(const std::string& path, OpenOrigin origin);
    void finishOpen(const std::string& path);
    // What every open ends with: settled data, a new history and every listener told.
    void takeOver(const std::string& path);
    void askToSaveBeforeReplacing();
    bool writeLine(const std::string& path, const TestParameters& header, const PointList& line);
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
    DocumentData data_;
    UndoHistory history_;
    std::vector<DocumentListener*> listeners_;
    std::uint64_t revision_ = 0;
    std::function<CalendarDate()> today_ = LocalToday;
    bool replaceAfterSave_ = false;
    std::string path_;
    std::string title_ = kTitlePrefix;
};

} // namespace crackdepth
