// The open flows of the document: non-crossing raw files, crossing raw files and result
// files, and the open commands of the menu.
#include "core/common/byte_source.h"
#include "core/common/utf.h"
#include "core/data/line_block.h"
#include "core/data/measurement_file.h"
#include "core/document/document.h"
#include "core/document/info_pages.h"
#include "core/document/line_loading.h"
#include "core/document/merge.h"
#include "core/document/result_io.h"

namespace crackdepth {
namespace {

// Reads the single line block of a raw file; none (after the messages) when the file is not
// a readable line of the expected kind.
std::optional<LineData> readRawLine(const std::string& path, const char* signature,
                                    UserPrompts& prompts) {
    LineData line;
    const BlockStatus status = ReadRawFile(path, line);
    if (status == BlockStatus::ReadError) {
        prompts.message(kFilePointerMessage);
    }
    if (status != BlockStatus::Ok || line.header.signature != signature) {
        prompts.message(kUnrecognisedFileMessage);
        return std::nullopt;
    }
    return line;
}

} // namespace

bool Document::OpenDocument(const std::string& path, OpenOrigin origin) {
    // The file must be readable at all before a flow is chosen.
    if (!FileSource(path).isOpen()) {
        prompts_.message(kCannotOpenMessage + std::string("\n") + path, MessageIcon::Error);
        return false;
    }
    if (settings_.print.reportStyle < 0 || settings_.print.reportStyle > 2) {
        settings_.print.reportStyle = 0;
    }
    FileKind kind{};
    if (!fileKindOf(path, kind)) {
        prompts_.message(kUnsupportedFileMessage);
        return false;
    }
    switch (kind) {
    case FileKind::NonCrossingRaw:
        return openNonCrossing(path);
    case FileKind::CrossingRaw:
        return openCrossing(path, origin);
    case FileKind::Result:
        return openResult(path, origin);
    }
    return false;
}

bool Document::openNonCrossing(const std::string& path) {
    // The old line is replaced only once the new one has been read: a file that cannot be
    // read loses nothing.
    std::optional<LineData> line = readRawLine(path, kNonCrossingSignature, prompts_);
    if (!line) {
        return false;
    }
    const TestParameters header = line->header;
    LoadNonCrossingLine(data_, std::move(*line), path);
    ProjectInfo& info = data_.projectInfo;
    if (info.locked == 0) {
        info.texts[kProjectName] = header.projectName;
        info.texts[kTestingOrganisation] = header.organisation;
        info.texts[kTester] = header.operatorName;
        info.texts[kTestDate] = header.testDate;
        info.texts[kComponentName] = data_.paths.currentBaseName;
    }
    finishOpen(path);
    return true;
}

bool Document::openCrossing(const std::string& path, OpenOrigin origin) {
    if (!hasNonCrossingLine()) {
        prompts_.message(kNeedNonCrossingMessage);
        return false;
    }
    if (hasCrossingLine() && origin == OpenOrigin::FileList && IsModified()) {
        askToSaveBeforeReplacing();
    }
    std::optional<LineData> line = readRawLine(path, kCrossingSignature, prompts_);
    if (!line) {
        return false;
    }
    if (!sameLineGeometry(data_.nonCrossingParameters, *data_.nonCrossingList, line->header,
                          line->points)) {
        prompts_.message(kParameterMismatchMessage, MessageIcon::Error);
        return false;
    }
    LoadRawCrossingLine(data_, std::move(*line), path);
    finishOpen(path);
    return true;
}

bool Document::openResult(const std::string& path, OpenOrigin origin) {
    if (hasCrossingLine() && origin == OpenOrigin::FileList && IsModified()) {
        askToSaveBeforeReplacing();
    }
    if (!ReadResult(path, data_, prompts_)) {
        return false;
    }
    finishOpen(path);
    return true;
}

void Document::askToSaveBeforeReplacing() {
    if (prompts_.askYesNo(kSaveResultQuestion)) {
        SaveAsCommand();
    }
}

void Document::finishOpen(const std::string& path) {
    data_.correctionAll = 0;
    data_.correctionNonCrossing = 0;
    data_.currentTab = 0;
    showNonCrossing();
    filterHighOn = false;
    filterLowOn = false;
    data_.projectInfo.texts[kTestStandard] = kTestStandardText;
    takeOver(path);
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

void Document::takeOver(const std::string& path) {
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

void Document::OpenResultCommand() {
    if (hasCrossingLine() && IsModified() && prompts_.askYesNo(kSaveResultQuestion)) {
        replaceAfterSave_ = true;
        SaveAsCommand();
    }
    if (const auto chosen = prompts_.chooseOpenFile(kOpenResultFilter)) {
        OpenDocument(*chosen);
    }
}

} // namespace crackdepth
