// The open flows of the document: non-crossing raw files, crossing raw files and result
// files, and the open commands of the menu.
#include "core/common/byte_source.h"
#include "core/common/utf.h"
#include "core/data/line_block.h"
#include "core/data/measurement_file.h"
#include "core/document/document.h"
#include "core/document/merge.h"
#include "core/document/result_io.h"

namespace crackdepth {
namespace {

// Reads the single line block of a raw file; false (after the messages) when the file is
// not a readable line of the expected kind.
bool readRawLine(const std::string& path, const char* signature, UserPrompts& prompts,
                 TestParameters& header, PointList& points) {
    LineData line;
    const BlockStatus status = ReadRawFile(path, line);
    if (status == BlockStatus::ReadError) {
        prompts.message(kFilePointerMessage);
    }
    if (status != BlockStatus::Ok || line.header.signature != signature) {
        prompts.message(kUnrecognisedFileMessage);
        return false;
    }
    header = std::move(line.header);
    points = std::move(line.points);
    return true;
}

float firstInterval(const PointList& points) {
    return points.empty() ? 0.0f : points[0].record.samplingInterval();
}

} // namespace

bool Document::OpenDocument(const std::string& path) {
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
        data_.viewsDirty = true;
        return false;
    }
    switch (kind) {
    case FileKind::NonCrossingRaw:
        return openNonCrossing(path);
    case FileKind::CrossingRaw:
        return openCrossing(path);
    case FileKind::Result:
        return openResult(path);
    }
    return false;
}

bool Document::openNonCrossing(const std::string& path) {
    // The old line is replaced only once the new one has been read: a file that cannot be
    // read loses nothing.
    TestParameters header;
    auto points = std::make_unique<PointList>();
    if (!readRawLine(path, kNonCrossingSignature, prompts_, header, *points)) {
        return false;
    }
    data_.nonCrossingList = std::move(points);
    data_.nonCrossingParameters = header;
    showNonCrossing();
    applyReferenceDistance(data_.nonCrossingParameters, *data_.nonCrossingList);

    const std::string name = fileNameOf(path);
    data_.paths.nonCrossingName = name;
    data_.paths.nonCrossingPath = path;
    data_.paths.currentFileName = name;
    data_.paths.currentBaseName = withoutLastUnits(name, 4);

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

bool Document::openCrossing(const std::string& path) {
    if (!hasNonCrossingLine()) {
        prompts_.message(kNeedNonCrossingMessage);
        data_.viewsDirty = true;
        return false;
    }
    if (hasCrossingLine() && openedFromList && modified_) {
        askToSaveBeforeReplacing();
    }
    TestParameters header;
    auto points = std::make_unique<PointList>();
    if (!readRawLine(path, kCrossingSignature, prompts_, header, *points)) {
        return false;
    }
    const TestParameters& reference = data_.nonCrossingParameters;
    if (header.originOffset != reference.originOffset ||
        header.firstSpacing != reference.firstSpacing || header.stepPartA != reference.stepPartA ||
        header.stepPartB != reference.stepPartB ||
        firstInterval(*points) != firstInterval(*data_.nonCrossingList)) {
        prompts_.message(kParameterMismatchMessage, MessageIcon::Error);
        data_.viewsDirty = true;
        return false;
    }
    for (std::size_t i = 0; i < points->size(); ++i) {
        (*points)[i].kept = 1;
    }
    // A raw crossing line replaces a result file's crossing lines: the tabs would otherwise
    // offer those lines and lose this one at the first tab change.
    data_.crossingLists.clear();
    data_.crossingParameters.clear();
    data_.crossingCorrections.clear();
    data_.rawCrossingList = std::move(points);
    data_.currentCrossingList = data_.rawCrossingList.get();
    data_.currentCrossingParameters = header;

    const std::string name = fileNameOf(path);
    data_.paths.crossingName = name;
    data_.paths.crossingPath = path;
    data_.paths.currentFileName = name;
    data_.paths.currentBaseName = withoutLastUnits(name, 4);
    finishOpen(path);
    return true;
}

bool Document::openResult(const std::string& path) {
    if (hasCrossingLine() && openedFromList && modified_) {
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
        openedFromList = false;
    }
}

void Document::finishOpen(const std::string& path) {
    data_.correctionAll = 0;
    data_.correctionNonCrossing = 0;
    data_.viewsDirty = true;
    plotFitHeight = true;
    trainFitHeight = true;
    path_ = path;
    notify(DocumentEvent::FileListChanged);
    data_.currentTab = 0;
    notify(DocumentEvent::TabsChanged);
    showNonCrossing();
    filterHighOn = false;
    filterLowOn = false;
    modified_ = false;
    notify(DocumentEvent::FileOpened);
    setTitle(fileNameOf(path));
    data_.projectInfo.texts[kTestStandard] = kTestStandardText;
    RefreshAllViews();
}

void Document::OpenNonCrossingCommand() {
    if (const auto chosen = prompts_.chooseOpenFile(kOpenNonCrossingFilter)) {
        openedFromList = false;
        OpenDocument(*chosen);
    }
    RefreshAllViews();
}

void Document::OpenResultCommand() {
    if (hasCrossingLine() && modified_ && prompts_.askYesNo(kSaveResultQuestion)) {
        replaceAfterSave = true;
        SaveAsCommand();
    }
    if (const auto chosen = prompts_.chooseOpenFile(kOpenResultFilter)) {
        openedFromList = false;
        OpenDocument(*chosen);
    }
    RefreshAllViews();
}

} // namespace crackdepth
