// The save flows of the document (raw line files and result files), save as, quick save,
// close and the exit questions.
#include "core/common/utf.h"
#include "core/data/line_block.h"
#include "core/document/document.h"
#include "core/document/result_io.h"

namespace crackdepth {
namespace {

// The save dialog's proposal: the document's path without the extension of its file name
// (a '.' in a folder name does not shorten it).
std::string proposedSavePath(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) {
        return path;
    }
    return path.substr(0, dot);
}

// The replaceable format of a save target: the first of ".DP0", ".DP1", ".DPA" found in the
// path, in that order of search.
const char* saveFormat(const std::string& path) {
    for (const char* format : {".DP0", ".DP1", ".DPA"}) {
        if (path.find(format) != std::string::npos) {
            return format;
        }
    }
    return nullptr;
}

// A line written to the file it came from: its name and path fields, and the current ones,
// follow the target.
void renewPaths(PathFields& paths, std::string& lineName, std::string& linePath,
                const std::string& path) {
    lineName = fileNameOf(path);
    linePath = path;
    paths.currentFileName = lineName;
    paths.currentBaseName = withoutLastUnits(lineName, 4);
}

} // namespace

bool Document::writeLine(const std::string& path, const TestParameters& header,
                         const PointList& line) {
    std::vector<std::uint8_t> bytes;
    WriteLineBlock(bytes, header, line);
    return writeOrReport(path, bytes, prompts_);
}

bool Document::SaveDocument(const std::string& path) {
    const char* format = saveFormat(path);
    if (format == nullptr) {
        prompts_.message(kUnrecognisedFileMessage);
        data_.viewsDirty = true;
        return false;
    }
    const std::string format_ = format;
    PathFields& paths = data_.paths;
    const std::string name = fileNameOf(path);
    std::string writtenName = name;

    if (format_ == ".DPA") {
        if (!WriteResult(path, data_, prompts_)) {
            return false;
        }
        if (endsWith(paths.nonCrossingName, ".DPA") && endsWith(paths.crossingName, ".DPA")) {
            paths = {name, path, name, path, name, withoutLastUnits(name, 4)};
            path_ = path;
        }
        finishSave(writtenName);
        return true;
    }

    if (data_.shownList == nullptr) {
        prompts_.message(kOpenFirstMessage);
        return false;
    }
    const bool renew = !resultLoaded();
    if (format_ == ".DP0") {
        if (!writeLine(path, data_.nonCrossingParameters, *data_.shownList)) {
            return false;
        }
        if (path == paths.nonCrossingPath && renew) {
            renewPaths(paths, paths.nonCrossingName, paths.nonCrossingPath, path);
        } else {
            writtenName = paths.nonCrossingName;
        }
    } else {
        const bool sameCrossing = path == paths.crossingPath && renew;
        const TestParameters& header =
            sameCrossing ? data_.currentCrossingParameters : data_.nonCrossingParameters;
        if (!writeLine(path, header, *data_.shownList)) {
            return false;
        }
        if (sameCrossing) {
            renewPaths(paths, paths.crossingName, paths.crossingPath, path);
        } else {
            writtenName = paths.crossingName;
        }
    }
    finishSave(writtenName);
    return true;
}

void Document::finishSave(const std::string& writtenName) {
    data_.viewsDirty = true;
    data_.currentTab = static_cast<std::int32_t>(data_.crossingLists.size());
    if (data_.crossingLists.empty()) {
        showNonCrossing();
    } else {
        data_.currentCrossingList = data_.crossingLists.back().get();
        data_.currentCrossingParameters = data_.crossingParameters.back();
        data_.shownList = data_.currentCrossingList;
        data_.showingNonCrossing = false;
    }
    notify(DocumentEvent::TabsChanged);
    RepaintContentViews();
    modified_ = false;
    setTitle(writtenName);
    RefreshAllViews();
}

void Document::SaveAsCommand() {
    if (!hasNonCrossingLine() && !hasCrossingLine()) {
        prompts_.message(kOpenFirstMessage);
        return;
    }
    const auto chosen = prompts_.chooseSaveFile(kResultFilter, proposedSavePath(path_));
    if (!chosen) {
        return;
    }
    SaveDocument(*chosen);
    if (!replaceAfterSave) {
        return;
    }
    PathFields& paths = data_.paths;
    if (endsWith(paths.crossingName, ".DPA")) {
        data_.clearLines();
        paths = {};
        notify(DocumentEvent::TabsChanged);
    } else if (endsWith(paths.crossingName, ".DP1")) {
        data_.rawCrossingList.reset();
        data_.currentCrossingList = nullptr;
        data_.shownList = nullptr;
        paths.crossingName.clear();
        paths.crossingPath.clear();
        paths.currentFileName = paths.nonCrossingName;
        paths.currentBaseName = withoutLastUnits(paths.nonCrossingName, 4);
    }
    replaceAfterSave = false;
}

void Document::QuickSaveCommand() {
    if (!hasNonCrossingLine() && !hasCrossingLine()) {
        prompts_.message(kOpenFirstMessage);
        return;
    }
    SaveDocument(data_.paths.crossingPath);
}

void Document::CloseCommand() {
    if (!prompts_.askOkCancel(kCloseQuestion, MessageIcon::Warning)) {
        return;
    }
    PathFields& paths = data_.paths;
    if (rawCrossingLoaded()) {
        data_.rawCrossingList.reset();
        data_.currentCrossingList = nullptr;
        paths.crossingName.clear();
        paths.crossingPath.clear();
        paths.currentFileName = paths.nonCrossingName;
        paths.currentBaseName = withoutLastUnits(paths.nonCrossingName, 4);
        data_.currentTab = 0;
        showNonCrossing();
        setTitle(paths.currentFileName);
    } else {
        data_.clearLines();
        data_.currentTab = 0;
        paths = {};
        setTitle("");
    }
    notify(DocumentEvent::TabsChanged);
    RefreshAllViews();
}

bool Document::ExitCommand() {
    if (modified_ && !prompts_.askOkCancel(kExitQuestion, MessageIcon::Warning)) {
        data_.viewsDirty = true;
        return false;
    }
    if (modified_) {
        std::string question = "是否保存对 " + title_ + " 的更改?";
        const Answer answer = prompts_.askYesNoCancel(question, MessageIcon::Warning);
        if (answer == Answer::Cancel) {
            return false;
        }
        if (answer == Answer::Yes && !SaveDocument(path_)) {
            return false;
        }
    }
    return true;
}

} // namespace crackdepth
