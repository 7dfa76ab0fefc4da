// The one document of the program: the measurement data, the settings remembered between
// runs and every file command (open, save, save as, quick save, close, exit), with the
// questions and messages of each flow going through UserPrompts and every change announced
// to the listeners (the views).
#pragma once

#include "core/common/utf.h"
#include "core/data/settings_file.h"
#include "core/data/settings_location.h"
#include "core/document/document_data.h"
#include "core/document/user_prompts.h"

#include <filesystem>
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

// What the views must do after a change.
enum class DocumentEvent {
    RefreshAllViews,     // recompute everything and re-read the information panel
    RepaintContentViews, // repaint the content views from the current data
    TabsChanged,         // the crossing tab strip must be refilled (and its selection set)
    TitleChanged,        // the window title changed
    FileListChanged,     // the information panel's file list must be refilled
    FileOpened,          // a file was opened: it enters the recent-file list (see path())
};

class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    virtual void documentChanged(DocumentEvent event) = 0;
};

struct FileList {
    std::vector<std::string> names; // files of the folder with the same extension, sorted
    std::vector<std::string> paths;
    int selected = -1; // the open file's entry
};

class Document {
public:
    // Loads the settings file `settings.read` (missing: defaults, and the test and casting
    // dates become 2012-10-20). An empty path keeps the defaults and saves nothing.
    Document(UserPrompts& prompts, SettingsPaths settings);
    // Saves the settings file to `settings.write`; says so once when it cannot.
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    DocumentData& data() { return data_; }
    const DocumentData& data() const { return data_; }
    Settings& settings() { return settings_; } // print settings, pane widths, legacy values
    const Settings& settings() const { return settings_; }
    ProjectInfo& projectInfo() { return data_.projectInfo; }
    UserPrompts& prompts() { return prompts_; }
    // Writes the settings file now (the destructor does too); false when it cannot.
    bool saveSettings();

    void addListener(DocumentListener* listener);
    void removeListener(DocumentListener* listener);
    void RefreshAllViews();
    void RepaintContentViews();
    void notify(DocumentEvent event);

    // Opening: the flow is chosen by the path's last three characters ("DP0", "DP1",
    // "DPA"). A failed open leaves the document's data as they were.
    bool OpenDocument(const std::string& path);
    // Saving: the first of ".DP0", ".DP1", ".DPA" found in the path chooses the format.
    bool SaveDocument(const std::string& path);

    // The file commands of the menu.
    void OpenNonCrossingCommand();
    void OpenResultCommand();
    void SaveAsCommand();
    void QuickSaveCommand();
    void CloseCommand();
    // The exit questions; true when the program may end (the settings are then saved by
    // the destructor).
    bool ExitCommand();

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    const std::string& path() const { return path_; } // the document's file
    const std::string& title() const { return title_; }
    FileList fileList() const; // the open file's folder, for the information panel

    bool hasNonCrossingLine() const { return data_.nonCrossingList != nullptr; }
    bool hasCrossingLine() const { return data_.currentCrossingList != nullptr; }
    bool rawCrossingLoaded() const; // crossingName ends in ".DP1"
    bool resultLoaded() const;      // currentFileName ends in ".DPA"

    // Display and filter state shared by the views and the waveform commands.
    bool plotFitHeight = true;
    bool trainFitHeight = true;
    bool replaceAfterSave = false;
    bool openedFromList = false;
    float filterHighCut = 20; // kHz
    float filterLowCut = 50;  // kHz
    bool filterHighOn = false;
    bool filterLowOn = false;
    std::int32_t waveTrainMode = 0;
    bool timeDomain = true;

private:
    bool openNonCrossing(const std::string& path);
    bool openCrossing(const std::string& path);
    bool openResult(const std::string& path);
    void finishOpen(const std::string& path);
    void askToSaveBeforeReplacing();
    bool writeLine(const std::string& path, const TestParameters& header, const PointList& line);
    void finishSave(const std::string& writtenName);
    void setTitle(const std::string& name);
    void showNonCrossing();

    UserPrompts& prompts_;
    SettingsPaths settingsPaths_;
    Settings settings_;
    DocumentData data_;
    std::vector<DocumentListener*> listeners_;
    bool modified_ = false;
    std::string path_;
    std::string title_ = kTitlePrefix;
};

} // namespace crackdepth
