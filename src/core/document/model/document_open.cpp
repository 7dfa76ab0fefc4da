// The open flows of the document: non-crossing raw files, crossing raw files and result
// files, and the open commands of the menu.
#include "core/common/byte_source.h"
#include "core/common/utf.h"
#include "core/data/line_block.h"
#include "core/data/measurement_file.h"
#include "core/document/model/document.h"
#include "core/document/model/line_loading.h"
#include "core/document/model/merge.h"
#include "core/document/model/result_io.h"
#include "core/document/panel_state/info_pages.h"

namespace crackdepth {
namespace {

// Reads the single line block of a raw file; none (after the messages) when the file is not
// a readable line of the expected kind.
std::optional<LineData> readRawLine(const std::string& path, const char* signature,
                                    UserPrompts& prompts) {
    LineData line;
    BlockResult status = ReadRawFile(path, line);
    if (status == BlockStatus::ReadError) {
        prompts.message(kFilePointerMessage);
    }
    if (status.ok() && line.header.signature != signature) {
        status = {BlockStatus::Unrecognised, signatureReason(signature)};
    }
    if (!status.ok()) {
        prompts.message(refusalMessage(status));
        return std::nullopt;
    }
    return line;
}

OpenOutcome outcome(bool opened) {
    return opened ? OpenOutcome::Opened : OpenOutcome::Refused;
}

} // namespace

bool Document::OpenDocument(const std::string& path) {
    return Open(path) == OpenOutcome::Opened;
}

OpenOutcome Document::Open(const std::string& path) {
    // The file must be readable at all before a flow is chosen.
    if (!FileSource(path).isOpen()) {
        prompts_.message(kCannotOpenMessage + std::string("\n") + path, MessageIcon::Error);
        return OpenOutcome::Refused;
    }
    if (settings_.print.reportStyle < 0 || settings_.print.reportStyle > 2) {
        settings_.print.reportStyle = 0;
    }
    FileKind kind{};
    if (!fileKindOf(path, kind)) {
        prompts_.message(kUnsupportedFileMessage);
        return OpenOutcome::Refused;
    }
    if (kind == FileKind::CrossingRaw && !hasNonCrossingLine()) {
        prompts_.message(kNeedNonCrossingMessage);
        return OpenOutcome::Refused;
    }
    // Asked before the file is read: whatever the open replaces is saved or given up first.
    if (!AskToSaveChanges()) {
        return OpenOutcome::Cancelled;
    }
    switch (kind) {
    case FileKind::NonCrossingRaw:
        return outcome(openNonCrossing(path));
    case FileKind::CrossingRaw:
        return outcome(openCrossing(path));
    case FileKind::Result:
        return outcome(openResult(path));
    }
    return OpenOutcome::Refused;
}

bool Document::openNonCrossing(const std::string& path) {
    // The old line is replaced only once the new one has been read: a file that cannot be
    // read loses nothing.
    std::optional<LineData> line = readRawLine(path, kNonCrossingSignature, prompts_);
    if (!line) {
        return false;
    }
    const TestParameters header = line->header;
    // Only crossing data can stay behind the replaced line.
    const bool keepsUnsaved = hasCrossingLine() && unsavedBeyond(kNonCrossingLine);
    LoadNonCrossingLine(data_, std::move(*line), path);
    ProjectInfo& info = data_.projectInfo;
    if (info.locked == 0) {
        info.texts[kProjectName] = header.projectName;
        info.texts[kTestingOrganisation] = header.organisation;
        info.texts[kTester] = header.operatorName;
        info.texts[kTestDate] = header.testDate;
        info.texts[kComponentName] = data_.paths.currentBaseName;
    }
    finishOpen(path, keepsUnsaved);
    return true;
}

bool Document::openCrossing(const std::string& path) {
    std::optional<LineData> line = readRawLine(path, kCrossingSignature, prompts_);
    if (!line) {
        return false;
    }
    if (!sameLineGeometry(data_.nonCrossingParameters, *data_.nonCrossingList, line->header,
                          line->points)) {
        prompts_.message(kParameterMismatchMessage, MessageIcon::Error);
        return false;
    }
    const bool keepsUnsaved = unsavedBeyond(data_.currentCrossingId());
    LoadRawCrossingLine(data_, std::move(*line), path);
    finishOpen(path, keepsUnsaved);
    return true;
}

bool Document::openResult(const std::string& path) {
    if (!ReadResult(path, data_, prompts_)) {
        return false;
    }
    finishOpen(path, false);
    return true;
}

void Document::finishOpen(const std::string& path, bool keepsUnsaved) {
    data_.correctionAll = 0;
    data_.correctionNonCrossing = 0;
    data_.currentTab = 0;
    showNonCrossing();
    filterSettings_.highOn = false;
    filterSettings_.lowOn = false;
    data_.projectInfo.texts[kTestStandard] = kTestStandardText;
    takeOver(path, keepsUnsaved);
}

void Document::Load(DocumentData data, const std::string& path) {
    data_ = std::move(data);
    takeOver(path);
}

void Document::Restore(DocumentData data, const std::string& path) {
    Load(std::move(data), path);
    history_.markUnsaved();
    notify({DocumentChange::History});
}

void Document::takeOver(const std::string& path, bool keepsUnsaved) {
    path_ = path;
    NormaliseInfoDates(data_.projectInfo, today_(), prompts_);
    // Every line and header as the views will show them, so that selecting a tab later
    // changes nothing.
    for (const LineId id : {kNonCrossingLine, LineId{LineKind::RawCrossing, 0}}) {
        if (PointList* line = data_.line(id)) {
            SettleLine(*line);
            settleHeader(*data_.header(id));
        }
    }
    for (std::size_t k = 0; k < data_.crossingLists.size(); ++k) {
        SettleLine(*data_.crossingLists[k]);
        settleHeader(data_.crossingParameters[k]);
    }
    settle();
    history_.clear();
    unsavedBeyondHistory_ = keepsUnsaved;
    notify({DocumentChange::FileList | DocumentChange::Tabs | DocumentChange::FileOpened |
            DocumentChange::Data | DocumentChange::Selection | DocumentChange::History |
            DocumentChange::ProjectInfo});
    setTitle(fileNameOf(path));
}

void Document::OpenNonCrossingCommand() {
    if (const auto chosen = prompts_.chooseOpenFile(kOpenNonCrossingFilter)) {
        OpenDocument(*chosen);
    }
}

void Document::OpenAnyCommand() {
    if (const auto chosen = prompts_.chooseOpenFile(kOpenAnyFilter)) {
        OpenDocument(*chosen);
    }
}

void Document::OpenResultCommand() {
    if (const auto chosen = prompts_.chooseOpenFile(kOpenResultFilter)) {
        OpenDocument(*chosen);
    }
}

} // namespace crackdepth
