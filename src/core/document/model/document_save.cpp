// The save flows of the document (raw line files and result files), save as, quick save,
// and the one save rule of new, close, exit and every open.
#include "core/common/utf.h"
#include "core/data/line_block.h"
#include "core/document/model/document.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/result_io.h"

namespace crackdepth {
namespace {

inline constexpr const char* kPrepareSaveName = "保存前提交修正";

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

// The format of a save target: the extension of its file name, ".DP0", ".DP1" or ".DPA"
// (a folder named like a measurement file does not count).
const char* saveFormat(const std::string& path) {
    const std::string name = fileNameOf(path);
    for (const char* format : {".DP0", ".DP1", ".DPA"}) {
        if (endsWith(name, format)) {
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

// What a save settles in the data before writing: the crossing points' keep flags follow
// the analysis, and for a result file the pending corrections are folded into the waveforms.
// An undoable edit, so that undo after a save still restores what was shown before.
std::unique_ptr<Edit> prepareForSave(const DocumentData& data, bool commit) {
    auto keepFlagsOf = [](DocumentData& held, const DocumentAnalysis& analysis) {
        for (std::size_t tab = 0; tab < analysis.cracks.size(); ++tab) {
            PointList& line =
                held.crossingLists.empty() ? *held.rawCrossingList : *held.crossingLists[tab];
            const std::vector<std::int32_t> flags = keepFlags(analysis.cracks[tab]);
            for (std::size_t i = 0; i < line.size() && i < flags.size(); ++i) {
                line[i].kept = flags[i];
            }
        }
    };
    if (commit) {
        // The flags of the analysis before the fold, which leaves every transit time as it is.
        return makeFoldCorrectionsEdit(kPrepareSaveName, data, [keepFlagsOf](DocumentData& held) {
            const DocumentAnalysis analysis = AnalyseDocument(held);
            FoldCorrections(held);
            keepFlagsOf(held, analysis);
        });
    }
    return std::make_unique<PointsEdit>(
        kPrepareSaveName, DocumentChange{}, crossingLinePoints(data),
        [keepFlagsOf](DocumentData& held) { keepFlagsOf(held, AnalyseDocument(held)); });
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
        return false;
    }
    const std::string kind = format;
    PathFields& paths = data_.paths;
    const std::string name = fileNameOf(path);

    if (kind == ".DPA") {
        if (!canWriteResult(data_)) {
            prompts_.message(kCannotSaveTypeMessage);
            return false;
        }
        // A fold with nothing to fold would only copy the working waveforms over their
        // backups: no step for a save that changes nothing the operator sees.
        if (!performIfWritten(prepareForSave(data_, hasSomethingToFold(data_)),
                              [&] { return WriteResult(path, data_, prompts_); })) {
            return false;
        }
        if (endsWith(paths.nonCrossingName, ".DPA") && endsWith(paths.crossingName, ".DPA")) {
            paths = {name, path, name, path, name, withoutLastUnits(name, 4)};
        }
        finishSave(path);
        return true;
    }

    // A raw file holds one line: the format's own, whichever line is shown.
    const bool nonCrossing = kind == ".DP0";
    const PointList* line = nonCrossing ? data_.nonCrossingList.get() : data_.currentCrossingList();
    if (line == nullptr) {
        prompts_.message(kOpenFirstMessage);
        return false;
    }
    if (!performIfWritten(prepareForSave(data_, false), [&] {
            const TestParameters& header =
                nonCrossing ? data_.nonCrossingParameters : data_.currentCrossingParameters();
            return writeLine(path, header, *line);
        })) {
        return false;
    }
    // A line written to another file stays the line of its own file, and the document goes
    // on naming that file.
    const bool renew = !resultLoaded();
    std::string& linePath = nonCrossing ? paths.nonCrossingPath : paths.crossingPath;
    if (path == linePath && renew) {
        renewPaths(paths, nonCrossing ? paths.nonCrossingName : paths.crossingName, linePath, path);
    }
    finishSave(linePath);
    return true;
}

bool Document::performIfWritten(std::unique_ptr<Edit> edit, const std::function<bool()>& write) {
    edit->apply(data_);
    settle();
    if (!write()) {
        edit->revert(data_);
        if (!edit->changesNothing()) {
            // The views may have read the prepared data while the failure was reported.
            notify({DocumentChange::Data});
        }
        return false;
    }
    DocumentChange change = edit->change();
    change.flags |= DocumentChange::Data | DocumentChange::History;
    history_.record(std::move(edit));
    notify(change);
    return true;
}

void Document::finishSave(const std::string& namedPath) {
    // The operator stays on the tab, line and point they were working on: a save is not a
    // selection.
    history_.markSaved();
    unsavedBeyondHistory_ = false;
    settle();
    // The title, the file list and a later Ctrl+S or exit → Yes all follow the same file.
    path_ = namedPath;
    notify({DocumentChange::Tabs | DocumentChange::Selection | DocumentChange::History |
            DocumentChange::FileList});
    setTitle(fileNameOf(namedPath));
}

void Document::SaveAsCommand() {
    if (!hasNonCrossingLine() && !hasCrossingLine()) {
        prompts_.message(kOpenFirstMessage);
        return;
    }
    if (const auto chosen = prompts_.chooseSaveFile(kResultFilter, proposedSavePath(path_))) {
        SaveDocument(*chosen);
    }
}

void Document::QuickSaveCommand() {
    if (!hasNonCrossingLine() && !hasCrossingLine()) {
        prompts_.message(kOpenFirstMessage);
        return;
    }
    SaveDocument(data_.paths.crossingPath);
}

bool Document::AskToSaveChanges() {
    if (!IsModified()) {
        return true;
    }
    switch (prompts_.askYesNoCancel("是否保存对 " + title_ + " 的更改?", MessageIcon::Warning)) {
    case Answer::Yes:
        return saveWhole();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

bool Document::saveWhole() {
    if (path_.empty()) {
        SaveAsCommand();
        return !IsModified(); // not saved: the dialog was cancelled or the write failed
    }
    if (endsWith(fileNameOf(path_), ".DPA") || !hasCrossingLine()) {
        return SaveDocument(path_); // one file holds every line
    }
    // Lines of two raw files go back to their own files: a save of one alone would count the
    // other's edits as saved. A result file under a raw crossing line holds both.
    const PathFields paths = data_.paths;
    if (!SaveDocument(paths.nonCrossingPath)) {
        return false;
    }
    if (endsWith(paths.nonCrossingName, ".DPA")) {
        return true;
    }
    if (!SaveDocument(paths.crossingPath)) {
        // The non-crossing line is on disk, the crossing line's edits are not.
        unsavedBeyondHistory_ = true;
        notify({DocumentChange::History});
        return false;
    }
    return true;
}

bool Document::unsavedBeyond(std::optional<LineId> dropped) const {
    if (!IsModified()) {
        return false;
    }
    if (unsavedBeyondHistory_) {
        return true;
    }
    // An edit that names no line (corrections, the information pages) counts as one of what
    // stays: asking once too often loses nothing.
    return history_.differsFromSavedBeyond(
        [&dropped](const Edit& edit) { return dropped && edit.change().line == dropped; });
}

bool Document::NewCommand() {
    if (!AskToSaveChanges()) {
        return false;
    }
    // The lines and every other value stay; the document no longer names a file, so a later
    // save asks where to write.
    path_.clear();
    history_.markSaved();
    unsavedBeyondHistory_ = false;
    notify({DocumentChange::Data | DocumentChange::Selection | DocumentChange::History |
            DocumentChange::FileList});
    return true;
}

void Document::CloseCommand() {
    if (!AskToSaveChanges()) {
        return;
    }
    PathFields& paths = data_.paths;
    if (rawCrossingLoaded()) {
        // Only the crossing raw file's line goes: the edits of the other lines stay unsaved.
        const bool keepsUnsaved = unsavedBeyond(data_.currentCrossingId());
        if (data_.crossingLists.empty()) {
            data_.rawCrossingList.reset();
            data_.rawCrossingParameters = {};
            paths.crossingName.clear();
            paths.crossingPath.clear();
        } else {
            // Opened over a result file, the line took the place of one of its cracks; the
            // others stay, and with them the result file's name.
            const auto entry = static_cast<std::ptrdiff_t>(data_.currentCrossingEntry);
            data_.crossingLists.erase(data_.crossingLists.begin() + entry);
            data_.crossingParameters.erase(data_.crossingParameters.begin() + entry);
            data_.crossingCorrections.erase(data_.crossingCorrections.begin() + entry);
            data_.currentCrossingEntry = 0;
            const bool result = endsWith(paths.nonCrossingName, ".DPA");
            paths.crossingName = result ? paths.nonCrossingName : std::string();
            paths.crossingPath = result ? paths.nonCrossingPath : std::string();
        }
        paths.currentFileName = paths.nonCrossingName;
        paths.currentBaseName = withoutLastUnits(paths.nonCrossingName, 4);
        data_.currentTab = 0;
        showNonCrossing();
        history_.clear();
        unsavedBeyondHistory_ = keepsUnsaved;
        setTitle(paths.currentFileName);
    } else {
        data_.clearLines();
        data_.currentTab = 0;
        paths = {};
        history_.clear();
        unsavedBeyondHistory_ = false;
        setTitle("");
    }
    settle();
    notify({DocumentChange::Tabs | DocumentChange::Data | DocumentChange::Selection |
            DocumentChange::History});
}

bool Document::ExitCommand() {
    return AskToSaveChanges();
}

} // namespace crackdepth
